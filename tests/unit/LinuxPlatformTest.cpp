#include "fakes/FakePlatform.h"
#include "platform/Platform.h"
#include "platform/linux/ProcNetRouteReachability.h"
#include "platform/linux/XdgAutostartLoginItem.h"
#include "support/Files.h"
#include "switching/SystemUtils.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

// $EXEC starts this program, $OTHER another copy of it.
const struct EntryCase {
    const char* user;   // the Exec value and the lines after it; null: no user entry
    const char* system; // likewise for the entry installed system-wide
    bool registered;
} entryCases[] = {
    {"$EXEC", nullptr, true},
    {"velmora", nullptr, true}, // found in PATH
    {"$EXEC\nHidden=true", nullptr, false},
    {"$EXEC\nHidden = TRUE ", nullptr, false},
    {"$EXEC\nX-GNOME-Autostart-enabled=false", nullptr, false},
    {"$EXEC\n# Hidden=true\n[Desktop Action x]\nHidden=true", nullptr, true},
    {"$OTHER", nullptr, false},
    {"", nullptr, false},
    {nullptr, "$EXEC", true},
    {nullptr, "$OTHER", false},
    {"$OTHER", "$EXEC", false},
};

// Registered: the entry the session reads starts this very program and is not hidden. Registering writes
// one that does; unregistering removes it, or hides an entry installed system-wide.
TEST(XdgAutostartLoginItemTest, TheEntryTheSessionReadsDecidesAndRegisteringFixesIt) {
    const QByteArray path = qgetenv("PATH");
    for (const EntryCase& row : entryCases) {
        SCOPED_TRACE(std::string(row.user ? row.user : "-") + " / " + (row.system ? row.system : "-"));
        QTemporaryDir root;
        const QString program = root.filePath("My $Apps 100%/velmora"),
                      other = root.filePath("build/velmora");
        for (const QString& executable : {program, other}) {
            ASSERT_TRUE(writeFile(executable, "#!/bin/sh\n"));
            QFile::setPermissions(executable, QFile::ReadOwner | QFile::ExeOwner);
        }
        const QByteArray exec = "\nExec=" + XdgAutostartLoginItem::quoteExecArgument(program).toUtf8() + "\n";
        const auto entry = [&](QByteArray text) {
            return "[Desktop Entry]\nType=Application\nExec=" +
                   text.replace("$EXEC", exec.mid(6).chopped(1))
                       .replace("$OTHER", XdgAutostartLoginItem::quoteExecArgument(other).toUtf8()) +
                   "\n";
        };
        XdgAutostartLoginItem item(root.filePath("user"), {root.filePath("etc")}, program);
        ASSERT_TRUE(!row.user || writeFile(item.entryPath(), entry(row.user)));
        ASSERT_TRUE(!row.system || writeFile(root.filePath("etc/velmora.desktop"), entry(row.system)));
        qputenv("PATH", QFileInfo(program).path().toUtf8());
        EXPECT_EQ(item.status(), row.registered ? LoginItemStatus::enabled : LoginItemStatus::notRegistered);
        qputenv("PATH", path);
        EXPECT_FALSE(item.registerItem().has_value());
        EXPECT_TRUE(item.status() == LoginItemStatus::enabled && readFile(item.entryPath()).contains(exec));
        EXPECT_TRUE(!item.unregisterItem() && item.status() == LoginItemStatus::notRegistered);
        EXPECT_EQ(readFile(item.entryPath()).contains("\nHidden=true\n"), row.system != nullptr);
    }
}

TEST(XdgExecQuoting, ReservedCharactersAreEscapedTwiceAndPercentDoubled) {
    EXPECT_EQ(XdgAutostartLoginItem::quoteExecArgument(R"(/a b/$x`y"z\d/100%)").toStdString(),
              R"("/a b/\\$x\\`y\\"z\\\\d/100%%")");
}

const QByteArray ipv4Header =
    "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";
const QByteArray zeros(32, '0');

// A line of /proc/net/route; a default route unless a destination is given.
QByteArray ipv4Route(const char* iface, const char* flags, const QByteArray& destination = "00000000") {
    return iface + ("\t" + destination + "\t0101A8C0\t" + flags + "\t0\t0\t100\t") +
           (destination == "00000000" ? "00000000" : "00FFFFFF") + "\t0\t0\t0\n";
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

TEST(SystemUtilsTest, NetworkNeedsReachableWithoutConnectionRequired) {
    FakePlatform fakes;
    const std::pair<std::optional<uint32_t>, bool> cases[] = {
        {ReachabilityFlag::reachable | 0x10000, true},
        {ReachabilityFlag::reachable | ReachabilityFlag::connectionRequired, false},
        {0, false},
        {std::nullopt, false},
    };
    for (const auto& [flags, available] : cases) {
        fakes.machine->flags = flags;
        EXPECT_EQ(SystemUtils::isNetworkAvailable(), available) << flags.value_or(-1);
    }
}

} // namespace
