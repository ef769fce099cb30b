#include "platform/sway/SwayTextInputSources.h"
#include "support/WaitUntil.h"
#include "wayland/FifoVelmora.h"
#include "wayland/SwaySession.h"

#include <gtest/gtest.h>

#include <linux/input.h>

using namespace velmora;
using namespace velmora::test;

namespace {

constexpr int russian = 0;
constexpr int english = 1;
const QString cyrillicEs = QStringLiteral("0x6d3");
const QString latinC = QStringLiteral("0x63");

// The real velmora on a real headless sway, fed the same key events through
// a FIFO that sway gets from the virtual keyboard.
class SwitchingOnSwayTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!sway.start()) {
            if (qEnvironmentVariable("CI") == QLatin1String("true"))
                FAIL() << "sway cannot start here: " << sway.error().toStdString();
            GTEST_SKIP() << "sway cannot start here: " << sway.error().toStdString();
        }
        ASSERT_TRUE(velmora.start(sway.clientEnvironment(), "enableDebugMode=true\nenableUsageStats=true\n"))
            << velmora.process().lines().join(QLatin1Char('\n')).toStdString();
        ASSERT_EQ(sway.activeLayout(), russian);
    }
    // A key as a keyboard sends it: sway has it first, then Velmora's reader.
    void press(int code, bool down) {
        ASSERT_TRUE(sway.press(code, down));
        ASSERT_TRUE(velmora.writeKey(code, down));
    }
    void tap(int code) {
        press(code, true);
        press(code, false);
    }
    bool layoutBecomes(int layout) {
        return waitUntil([&] { return sway.activeLayout() == layout; });
    }

    SwaySession sway;
    FifoVelmora velmora;
};

TEST_F(SwitchingOnSwayTest, CtrlCArrivesLatinAndReleaseRestoresRussian) {
    tap(KEY_C);
    press(KEY_LEFTCTRL, true);
    EXPECT_TRUE(layoutBecomes(english));
    tap(KEY_C);
    press(KEY_LEFTCTRL, false);
    EXPECT_TRUE(layoutBecomes(russian));
    tap(KEY_C);
    EXPECT_TRUE(waitUntil([&] { return sway.keysyms().size() == 3; }));
    EXPECT_EQ(sway.keysyms(), (QStringList{cyrillicEs, latinC, cyrillicEs}));
    EXPECT_FALSE(
        velmora.process()
            .waitForLine(QStringLiteral("⌨️ Switched to English layout 'English (US)', result: 0"))
            .isEmpty());
}

// The user's own Alt+Shift toggle works with Velmora running. Each Alt press
// reports the layout the previous toggle left, which must be the one sway
// reaches without Velmora: Russian, English, Russian, English.
TEST_F(SwitchingOnSwayTest, UsersAltShiftToggleIsKept) {
    for (int round = 0; round < 3; ++round) {
        press(KEY_LEFTALT, true);
        ASSERT_TRUE(layoutBecomes(english));
        // From English, the toggle's next layout is Russian.
        press(KEY_LEFTSHIFT, true);
        ASSERT_TRUE(layoutBecomes(russian));
        // A person's gap between the keys: sway's report reaches Velmora first.
        settle(50);
        press(KEY_LEFTSHIFT, false);
        press(KEY_LEFTALT, false);
        settle(50);
    }
    press(KEY_LEFTALT, true);
    press(KEY_LEFTALT, false);
    const QString prefix = QStringLiteral("⌨️ Current layout: ");
    auto reported = [&] {
        QStringList names;
        for (const QString& line : velmora.process().lines())
            if (line.startsWith(prefix))
                names.append(line.mid(prefix.size()));
        return names;
    };
    ASSERT_TRUE(waitUntil([&] { return reported().size() == 4; })) << reported().join(u',').toStdString();
    EXPECT_EQ(reported(), (QStringList{"Russian", "English (US)", "Russian", "English (US)"}));
}

// Whichever of its two connections notices first ends Velmora with status 1:
// the IPC socket with one line, or the Wayland socket, whose loss Qt's
// platform plugin answers by ending the process at once.
TEST_F(SwitchingOnSwayTest, SwayGoneStopsVelmoraWithStatusOne) {
    press(KEY_LEFTCTRL, true);
    ASSERT_TRUE(layoutBecomes(english));
    sway.kill();
    EXPECT_EQ(velmora.process().waitForExit(), 1);
    const QStringList lines = velmora.process().lines();
    EXPECT_LE(std::count_if(lines.begin(), lines.end(),
                            [](const QString& l) { return l.startsWith(QStringLiteral("❌")); }),
              1)
        << "one line says why switching stopped\n"
        << lines.join(QLatin1Char('\n')).toStdString();
}

// What the backend tells the engine about a layout change: its own
// selections are not foreign, the user's Alt+Shift toggle is.
TEST(SwayTextInputSourcesTest, UsersToggleIsForeignOwnSelectionIsNot) {
    SwaySession sway;
    if (!sway.start()) {
        if (qEnvironmentVariable("CI") == QLatin1String("true"))
            FAIL() << "sway cannot start here: " << sway.error().toStdString();
        GTEST_SKIP() << "sway cannot start here: " << sway.error().toStdString();
    }
    SwayTextInputSources sources(sway.swaySocket(), [] {});
    const std::optional<QList<InputSourceRef>> list = sources.createInputSourceList();
    ASSERT_TRUE(list && list->size() == 2);
    EXPECT_EQ(list->at(0)->identifier, QStringLiteral("ru"));
    EXPECT_EQ(list->at(1)->identifier, QStringLiteral("us"));
    auto current = [&] { return sources.copyCurrentKeyboardInputSource()->handle; };
    ASSERT_EQ(sources.selectInputSource(list->at(english)), 0);
    EXPECT_TRUE(waitUntil([&] { return sway.activeLayout() == english; }));
    settle(); // sway's report of the switch comes in
    EXPECT_EQ(current(), english);
    EXPECT_EQ(sources.foreignChangeSinceLastSelection().kind, ForeignLayoutChange::Kind::none);
    ASSERT_TRUE(sway.press(KEY_LEFTALT, true) && sway.press(KEY_LEFTSHIFT, true));
    EXPECT_TRUE(waitUntil([&] { return current() == russian; }));
    const ForeignLayoutChange change = sources.foreignChangeSinceLastSelection();
    EXPECT_EQ(change.kind, ForeignLayoutChange::Kind::relative);
    EXPECT_EQ(change.steps, 1);
    ASSERT_TRUE(sway.press(KEY_LEFTSHIFT, false) && sway.press(KEY_LEFTALT, false));
}

} // namespace
