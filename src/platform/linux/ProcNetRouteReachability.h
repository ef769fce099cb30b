#pragma once

#include "platform/NetworkReachability.h"

#include <QByteArray>
#include <QString>

namespace velmora {

// Reachability from the kernel's routing tables: reachable when an IPv4 or
// IPv6 default route is up on an interface other than loopback.
class ProcNetRouteReachability final : public NetworkReachability {
public:
    explicit ProcNetRouteReachability(QString ipv4RoutePath = QStringLiteral("/proc/net/route"),
                                      QString ipv6RoutePath = QStringLiteral("/proc/net/ipv6_route"));

    std::optional<uint32_t> defaultRouteFlags() override;

    static bool hasIpv4DefaultRoute(const QByteArray& table);
    static bool hasIpv6DefaultRoute(const QByteArray& table);

private:
    QString ipv4Path_;
    QString ipv6Path_;
};

} // namespace velmora
