#include "platform/kde/KWinTextInputSources.h"
#include "support/WaitUntil.h"
#include "wayland/FifoVelmora.h"
#include "wayland/KWinSession.h"

#include <gtest/gtest.h>

#include <linux/input.h>

using namespace velmora;
using namespace velmora::test;

namespace {

constexpr int russian = 0;
constexpr int english = 1;

// Under CI a KWin that cannot start is a failure, elsewhere a skip; the
// caller returns when started() is false.
bool started(KWinSession& session) {
    if (session.start())
        return true;
    const std::string why = "KWin cannot start here: " + session.error().toStdString();
    if (qEnvironmentVariable("CI") == QLatin1String("true"))
        ADD_FAILURE() << why;
    else
        [&] { GTEST_SKIP() << why; }();
    return false;
}

TEST(KWinTextInputSourcesTest, ListsKWinsLayoutsAndFollowsNewOnes) {
    KWinSession kwin;
    if (!started(kwin))
        return;
    KWinTextInputSources sources(kwin.bus(), kwin.configHome() + QStringLiteral("/kxkbrc"));
    auto described = [&] {
        QStringList result;
        for (const InputSourceRef& source : sources.createInputSourceList().value_or(QList<InputSourceRef>{}))
            result.append(source->identifier.value_or(QString()) + QLatin1Char('=') +
                          source->localizedName.value_or(QString()));
        return result;
    };
    EXPECT_EQ(described(), (QStringList{"ru=Russian", "us=English (US)"}));
    EXPECT_EQ(sources.copyCurrentKeyboardInputSource()->handle, russian);
    // Added while running, as the keyboard settings do it.
    kwin.writeLayouts("LayoutList=ru,us,de\nVariantList=,intl,nodeadkeys\nUse=true\n");
    const QStringList expected{"ru=Russian", "us(intl)=English (US, intl., with dead keys)",
                               "de(nodeadkeys)=German (no dead keys)"};
    EXPECT_TRUE(waitUntil([&] { return described() == expected; })) << described().join(' ').toStdString();
}

struct PolicyCase {
    const char* name;
    QByteArray switchMode;
    ForeignLayoutChange::Kind kind;
    int steps;
};

class KWinForeignChangeTest : public ::testing::TestWithParam<PolicyCase> {};

// Velmora's own selection is not foreign; another client's is a step, unless
// KWin keeps a layout per window or application.
TEST_P(KWinForeignChangeTest, AnotherClientsChangeIsForeign) {
    KWinSession kwin;
    if (!started(kwin))
        return;
    kwin.writeLayouts("LayoutList=ru,us\nUse=true\n" + GetParam().switchMode);
    KWinTextInputSources sources(kwin.bus(), kwin.configHome() + QStringLiteral("/kxkbrc"));
    const std::optional<QList<InputSourceRef>> list = sources.createInputSourceList();
    ASSERT_TRUE(list && list->size() == 2);
    auto current = [&] { return sources.copyCurrentKeyboardInputSource()->handle; };
    ASSERT_EQ(sources.selectInputSource(list->at(english)), 0);
    EXPECT_EQ(kwin.activeLayout(), english);
    settle(); // KWin's report of the switch comes in
    EXPECT_EQ(sources.foreignChangeSinceLastSelection().kind, ForeignLayoutChange::Kind::none);
    ASSERT_TRUE(kwin.selectLayout(russian));
    EXPECT_TRUE(waitUntil([&] { return current() == russian; }));
    EXPECT_EQ(sources.foreignChangeSinceLastSelection().kind, GetParam().kind);
    EXPECT_EQ(sources.foreignChangeSinceLastSelection().steps, GetParam().steps);
}

INSTANTIATE_TEST_SUITE_P(SwitchModes, KWinForeignChangeTest,
                         ::testing::Values(PolicyCase{"Global", "SwitchMode=Global\n",
                                                      ForeignLayoutChange::Kind::relative, 1},
                                           PolicyCase{"PerApplication", "SwitchMode=WinClass\n",
                                                      ForeignLayoutChange::Kind::selection, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// The real velmora on a real headless KWin, its key events through a FIFO.
class SwitchingOnKWinTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!started(kwin))
            return;
        QProcessEnvironment environment = kwin.clientEnvironment();
        // Off KWin's Wayland socket, so that Velmora outlives KWin.
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        ASSERT_TRUE(
            velmora.start(environment, "enableDebugMode=true\nenableUsageStats=true\n", kwin.configHome()))
            << velmora.process().lines().join(QLatin1Char('\n')).toStdString();
    }
    // A key as a keyboard sends it: KWin has it first, then Velmora's reader.
    void press(int code, bool down) {
        ASSERT_TRUE(kwin.press(code, down));
        ASSERT_TRUE(velmora.writeKey(code, down));
    }
    bool layoutBecomes(int layout) {
        return waitUntil([&] { return kwin.activeLayout() == layout; });
    }

    KWinSession kwin;
    FifoVelmora velmora;
};

struct HoldCase {
    const char* name;
    int selectedByAnotherClient; // during the hold; -1: nothing
    int afterRelease;
    const char* keysymOfC; // the C of Ctrl+C in the focused window
};

class CtrlHoldOnKWinTest : public SwitchingOnKWinTest, public ::testing::WithParamInterface<HoldCase> {};

TEST_P(CtrlHoldOnKWinTest, CtrlSelectsEnglishAndReleaseKeepsTheUsersChoice) {
    press(KEY_LEFTCTRL, true);
    ASSERT_TRUE(layoutBecomes(english));
    if (GetParam().selectedByAnotherClient >= 0) {
        ASSERT_TRUE(kwin.selectLayout(GetParam().selectedByAnotherClient));
        settle(); // Velmora hears of it before the release
    }
    press(KEY_C, true);
    press(KEY_C, false);
    EXPECT_TRUE(waitUntil([&] { return !kwin.keysyms().isEmpty(); }));
    EXPECT_EQ(kwin.keysyms(), QStringList{GetParam().keysymOfC});
    press(KEY_LEFTCTRL, false);
    if (GetParam().afterRelease == russian)
        EXPECT_TRUE(layoutBecomes(russian));
    else
        EXPECT_FALSE(velmora.process()
                         .waitForLine(QStringLiteral("Kept layout us: switched 1 step(s) from ru"))
                         .isEmpty())
            << velmora.process().lines().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(kwin.activeLayout(), GetParam().afterRelease);
    EXPECT_FALSE(velmora.process()
                     .waitForLine(QStringLiteral("Switched to English layout 'English (US)', result: 0"))
                     .isEmpty());
}

// A layout applet's "next layout" during the hold meant "next after Russian".
INSTANTIATE_TEST_SUITE_P(Holds, CtrlHoldOnKWinTest,
                         ::testing::Values(HoldCase{"Plain", -1, russian, "0x63"},
                                           HoldCase{"ToggledDuringTheHold", russian, english, "0x6d3"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SwitchingOnKWinTest, KWinGoneStopsSwitchingUntilItIsBack) {
    kwin.killKWin();
    EXPECT_FALSE(velmora.process().waitForLine(QStringLiteral("❌ KWin left the session bus")).isEmpty());
    // The keys reach Velmora alone: KWin's fake keyboard went with KWin.
    ASSERT_TRUE(velmora.writeKey(KEY_LEFTCTRL, true) && velmora.writeKey(KEY_LEFTCTRL, false));
    ASSERT_TRUE(kwin.startKWin()) << kwin.error().toStdString();
    EXPECT_FALSE(velmora.process().waitForLine(QStringLiteral("✅ KWin is on the session bus")).isEmpty());
    ASSERT_TRUE(velmora.writeKey(KEY_LEFTCTRL, true));
    EXPECT_TRUE(layoutBecomes(english));
    const QStringList lines = velmora.process().lines();
    // One line, however many presses came while KWin was away.
    EXPECT_EQ(lines.filter(QStringLiteral("KWin")).filter(QStringLiteral("❌")).size(), 1)
        << lines.join(QLatin1Char('\n')).toStdString();
}

} // namespace
