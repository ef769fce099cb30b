#include "platform/linux/ProcNetRouteReachability.h"

#include <QFile>
#include <QList>

namespace velmora {

namespace {

constexpr uint32_t routeUp = 0x0001;     // RTF_UP
constexpr uint32_t routeReject = 0x0200; // RTF_REJECT: "unreachable" routes

QList<QByteArray> fields(const QByteArray& line) { return line.simplified().split(' '); }

uint32_t hexFlags(const QByteArray& text) {
    bool ok = false;
    const uint32_t value = text.toUInt(&ok, 16);
    return ok ? value : 0;
}

bool usable(uint32_t flags, const QByteArray& interface) {
    return (flags & routeUp) && !(flags & routeReject) && interface != "lo";
}

std::optional<QByteArray> readTable(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

} // namespace

ProcNetRouteReachability::ProcNetRouteReachability(QString ipv4RoutePath, QString ipv6RoutePath)
    : ipv4Path_(std::move(ipv4RoutePath)), ipv6Path_(std::move(ipv6RoutePath)) {}

bool ProcNetRouteReachability::hasIpv4DefaultRoute(const QByteArray& table) {
    // Iface Destination Gateway Flags RefCnt Use Metric Mask MTU Window IRTT
    const QList<QByteArray> lines = table.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> f = fields(lines[i]);
        if (f.size() < 8)
            continue;
        if (f[1] == "00000000" && f[7] == "00000000" && usable(hexFlags(f[3]), f[0]))
            return true;
    }
    return false;
}

bool ProcNetRouteReachability::hasIpv6DefaultRoute(const QByteArray& table) {
    // dest dest_len src src_len next_hop metric refcnt use flags iface
    for (const QByteArray& line : table.split('\n')) {
        const QList<QByteArray> f = fields(line);
        if (f.size() < 10)
            continue;
        if (f[0] == QByteArray(32, '0') && f[1] == "00" && usable(hexFlags(f[8]), f[9]))
            return true;
    }
    return false;
}

std::optional<uint32_t> ProcNetRouteReachability::defaultRouteFlags() {
    const auto ipv4 = readTable(ipv4Path_);
    const auto ipv6 = readTable(ipv6Path_);
    if (!ipv4 && !ipv6)
        return std::nullopt;
    const bool routed = (ipv4 && hasIpv4DefaultRoute(*ipv4)) || (ipv6 && hasIpv6DefaultRoute(*ipv6));
    return routed ? ReachabilityFlag::reachable : 0u;
}

} // namespace velmora
