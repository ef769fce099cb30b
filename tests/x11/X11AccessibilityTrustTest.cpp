#include "XvfbFixture.h"

#include "platform/x11/X11AccessibilityTrust.h"
#include "support/FakeXServer.h"

#include <QtGlobal>

#include <optional>

using namespace velmora;
using namespace velmora::test;

namespace {

// Sets an environment variable (or removes it) for one test.
class EnvironmentVariable {
public:
    EnvironmentVariable(const char* name, std::optional<QByteArray> value) : name_(name) {
        if (qEnvironmentVariableIsSet(name))
            saved_ = qgetenv(name);
        value ? qputenv(name, *value) : qunsetenv(name);
    }
    ~EnvironmentVariable() { saved_ ? qputenv(name_, *saved_) : qunsetenv(name_); }

private:
    const char* name_;
    std::optional<QByteArray> saved_;
};

class X11AccessibilityTrustTest : public XvfbFixture {
protected:
    EnvironmentVariable waylandDisplay{"WAYLAND_DISPLAY", std::nullopt};
    EnvironmentVariable sessionType{"XDG_SESSION_TYPE", QByteArray("x11")};
};

TEST_F(X11AccessibilityTrustTest, AnX11DisplayWithXkbAndXInput22IsTrusted) {
    X11AccessibilityTrust trust(server.display());
    EXPECT_TRUE(trust.isProcessTrusted());
    EXPECT_TRUE(trust.untrustedReason().isEmpty());
}

TEST_F(X11AccessibilityTrustTest, AWaylandSessionIsNotTrustedEvenWithAReachableDisplay) {
    X11AccessibilityTrust trust(server.display());
    {
        EnvironmentVariable wayland("WAYLAND_DISPLAY", QByteArray("wayland-0"));
        EXPECT_FALSE(trust.isProcessTrusted());
        EXPECT_TRUE(trust.untrustedReason().contains(QStringLiteral("Wayland session")));
    }
    {
        EnvironmentVariable wayland("XDG_SESSION_TYPE", QByteArray("wayland"));
        EXPECT_FALSE(trust.isProcessTrusted());
        EXPECT_TRUE(trust.untrustedReason().contains(QStringLiteral("Wayland session")));
    }
    // Asked afresh each time: back in an X11 session, the answer changes.
    EXPECT_TRUE(trust.isProcessTrusted());
    EXPECT_TRUE(trust.untrustedReason().isEmpty());
}

TEST_F(X11AccessibilityTrustTest, AnEmptyWaylandDisplayVariableIsNoWaylandSession) {
    EnvironmentVariable empty("WAYLAND_DISPLAY", QByteArray());
    X11AccessibilityTrust trust(server.display());
    EXPECT_TRUE(trust.isProcessTrusted());
}

class X11AccessibilityTrustWithoutXvfbTest : public ::testing::Test {
protected:
    EnvironmentVariable waylandDisplay{"WAYLAND_DISPLAY", std::nullopt};
    EnvironmentVariable sessionType{"XDG_SESSION_TYPE", QByteArray("x11")};
};

TEST_F(X11AccessibilityTrustWithoutXvfbTest, NoDisplaySetIsNotTrusted) {
    EnvironmentVariable display("DISPLAY", std::nullopt);
    X11AccessibilityTrust trust;
    EXPECT_FALSE(trust.isProcessTrusted());
    EXPECT_EQ(trust.untrustedReason(), QStringLiteral("no X display is set (DISPLAY is empty)"));
}

TEST_F(X11AccessibilityTrustWithoutXvfbTest, DisplaysThatCannotShowTheWholeKeyboardAreNotTrusted) {
    FakeXServer noXkb({.xkb = false});
    FakeXServer oldXInput({.xinputMinorVersion = 0});
    const struct {
        QByteArray display;
        QString reason;
    } cases[] = {
        {noXkb.display() + "1", QStringLiteral("cannot connect to the X display")},
        {noXkb.display(), QStringLiteral("has no XKB extension")},
        {oldXInput.display(), QStringLiteral("offers XInput 2.0, and Velmora needs 2.2")},
    };
    for (const auto& [display, reason] : cases) {
        X11AccessibilityTrust trust(display);
        EXPECT_FALSE(trust.isProcessTrusted()) << display.constData();
        EXPECT_TRUE(trust.untrustedReason().contains(reason)) << trust.untrustedReason().toStdString();
    }
}

} // namespace
