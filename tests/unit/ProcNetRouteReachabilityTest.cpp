#include "platform/linux/ProcNetRouteReachability.h"
#include "platform/linux/LinuxSystemInformation.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

const QByteArray ipv4Header =
    "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";
const QByteArray zeros(32, '0');

// A line of /proc/net/route; a default route unless a destination is given.
QByteArray ipv4Route(const char* iface, const char* flags, const QByteArray& destination = "00000000") {
    return iface + ("\t" + destination + "\t0101A8C0\t" + flags + "\t0\t0\t100\t") +
           (destination == "00000000" ? "00000000" : "00FFFFFF") + "\t0\t0\t0\n";
}

void write(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

TEST(ProcNetRouteReachabilityTest, DefaultRouteMustBeUpAndNotLoopback) {
    const QByteArray lan = ipv4Route("eth0", "0001", "0001A8C0");
    const std::pair<QByteArray, bool> cases[] = {
        {ipv4Header + lan, false},
        {ipv4Header + lan + ipv4Route("wlan0", "0003"), true},
        {ipv4Header + ipv4Route("eth0", "0002"), false}, // down
        {ipv4Header + ipv4Route("lo", "0001"), false},
        {ipv4Header + ipv4Route("eth0", "0201"), false}, // reject
        {ipv4Route("eth0", "0001"), false},              // the first line is the header
        {ipv4Header + "eth0\t00000000\n", false},        // truncated
    };
    for (const auto& [table, hasRoute] : cases)
        EXPECT_EQ(ProcNetRouteReachability::hasIpv4DefaultRoute(table), hasRoute) << table.constData();
    // IPv6: the kernel's unreachable default entry on lo is no route.
    const QByteArray unreachable =
        zeros + " 00 " + zeros + " 00 " + zeros + " ffffffff 00000001 0 00200200 lo\n";
    const QByteArray viaRouter =
        zeros + " 00 " + zeros + " 00 fe80" + QByteArray(27, '0') + "1 00000400 1 0 00450003 en\n";
    const QByteArray onLink =
        "fe80" + QByteArray(28, '0') + " 40 " + zeros + " 00 " + zeros + " 00000100 1 0 00000001 en\n";
    EXPECT_FALSE(ProcNetRouteReachability::hasIpv6DefaultRoute(unreachable + onLink));
    EXPECT_TRUE(ProcNetRouteReachability::hasIpv6DefaultRoute(unreachable + onLink + viaRouter));
}

// The route tables that can be read give the flags; the model is the trimmed
// product name.
TEST(ProcNetRouteReachabilityTest, FlagsComeFromWhicheverTablesCanBeReadAndTheModelIsTrimmed) {
    QTemporaryDir dir;
    const QString v4 = dir.filePath("route"), v6 = dir.filePath("ipv6_route"),
                  missing = dir.filePath("missing");
    const QString model = dir.filePath("product_name");
    write(v4, ipv4Header + ipv4Route("eth0", "0003"));
    write(v6, {});
    write(model, "ThinkPad X1\n");
    EXPECT_EQ(ProcNetRouteReachability(v4, missing).defaultRouteFlags(), ReachabilityFlag::reachable);
    EXPECT_EQ(ProcNetRouteReachability(missing, v6).defaultRouteFlags(), 0u);
    EXPECT_EQ(ProcNetRouteReachability(missing, missing).defaultRouteFlags(), std::nullopt);
    EXPECT_EQ(LinuxSystemInformation(model).hardwareModel(), QStringLiteral("ThinkPad X1"));
    EXPECT_EQ(LinuxSystemInformation(missing).hardwareModel(), std::nullopt);
    write(model, " \n");
    EXPECT_EQ(LinuxSystemInformation(model).hardwareModel(), std::nullopt);
}

} // namespace
