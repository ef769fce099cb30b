#include "platform/linux/LinuxSystemInformation.h"
#include "platform/linux/ProcNetRouteReachability.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

const QByteArray ipv4Header =
    "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";

QByteArray ipv4Route(const char* iface, const char* destination, const char* flags, const char* mask) {
    return QByteArray(iface) + "\t" + destination + "\t0101A8C0\t" + flags + "\t0\t0\t100\t" + mask + "\t0\t0\t0\n";
}

const QByteArray zeros(32, '0');

TEST(ProcNetRouteReachabilityTest, Ipv4DefaultRouteMustBeUpAndNotLoopback) {
    const QByteArray lan = ipv4Route("eth0", "0001A8C0", "0001", "00FFFFFF");
    EXPECT_FALSE(ProcNetRouteReachability::hasIpv4DefaultRoute(ipv4Header + lan));
    EXPECT_TRUE(ProcNetRouteReachability::hasIpv4DefaultRoute(ipv4Header + lan +
                                                              ipv4Route("wlan0", "00000000", "0003", "00000000")));
    EXPECT_FALSE(ProcNetRouteReachability::hasIpv4DefaultRoute(ipv4Header +
                                                               ipv4Route("eth0", "00000000", "0002", "00000000")));
    EXPECT_FALSE(ProcNetRouteReachability::hasIpv4DefaultRoute(ipv4Header +
                                                               ipv4Route("lo", "00000000", "0001", "00000000")));
    EXPECT_FALSE(ProcNetRouteReachability::hasIpv4DefaultRoute(ipv4Header +
                                                               ipv4Route("eth0", "00000000", "0201", "00000000")));
    // The header is never a route, and a truncated line is skipped.
    EXPECT_FALSE(ProcNetRouteReachability::hasIpv4DefaultRoute("eth0 00000000 0 0001 0 0 0 00000000\n"));
    EXPECT_FALSE(ProcNetRouteReachability::hasIpv4DefaultRoute(ipv4Header + "eth0\t00000000\n"));
}

TEST(ProcNetRouteReachabilityTest, Ipv6DefaultRouteIgnoresTheKernelsUnreachableEntry) {
    const QByteArray unreachable = zeros + " 00 " + zeros + " 00 " + zeros + " ffffffff 00000001 00000000 00200200       lo\n";
    const QByteArray viaRouter = zeros + " 00 " + zeros + " 00 fe800000000000000000000000000001 00000400 00000001 00000000 00450003   enp1s0\n";
    const QByteArray onLink = QByteArray("fe800000000000000000000000000000 40 ") + zeros + " 00 " + zeros +
                              " 00000100 00000001 00000000 00000001   enp1s0\n";
    EXPECT_FALSE(ProcNetRouteReachability::hasIpv6DefaultRoute(unreachable + onLink));
    EXPECT_TRUE(ProcNetRouteReachability::hasIpv6DefaultRoute(unreachable + onLink + viaRouter));
}

TEST(ProcNetRouteReachabilityTest, FlagsComeFromWhicheverTablesCanBeRead) {
    QTemporaryDir dir;
    const QString v4 = dir.filePath(QStringLiteral("route"));
    const QString v6 = dir.filePath(QStringLiteral("ipv6_route"));
    const QString missing = dir.filePath(QStringLiteral("missing"));
    QFile file(v4);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(ipv4Header + ipv4Route("eth0", "00000000", "0003", "00000000"));
    file.close();
    QFile empty6(v6);
    ASSERT_TRUE(empty6.open(QIODevice::WriteOnly));
    empty6.close();

    EXPECT_EQ(ProcNetRouteReachability(v4, missing).defaultRouteFlags(), ReachabilityFlag::reachable);
    EXPECT_EQ(ProcNetRouteReachability(missing, v6).defaultRouteFlags(), 0u);
    EXPECT_EQ(ProcNetRouteReachability(missing, missing).defaultRouteFlags(), std::nullopt);
}

TEST(LinuxSystemInformationTest, ModelIsTheTrimmedProductNameOrNothing) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("product_name"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("ThinkPad X1 Carbon Gen 11\n");
    file.close();
    EXPECT_EQ(LinuxSystemInformation(path).hardwareModel(), QStringLiteral("ThinkPad X1 Carbon Gen 11"));
    EXPECT_EQ(LinuxSystemInformation(dir.filePath(QStringLiteral("none"))).hardwareModel(), std::nullopt);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(" \n");
    file.close();
    EXPECT_EQ(LinuxSystemInformation(path).hardwareModel(), std::nullopt);
}

} // namespace
