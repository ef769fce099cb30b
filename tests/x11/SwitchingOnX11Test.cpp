#include "XvfbFixture.h"

#include <QCoreApplication>
#include <QSet>

#include "platform/x11/X11Platform.h"
#include "settings/Constants.h"
#include "settings/SettingsStore.h"
#include "support/EvdevKeycodes.h"
#include "support/WaitUntil.h"
#include "support/XTestKeyboard.h"
#include "support/XkbProbe.h"
#include "switching/SwitchingEngine.h"

using namespace velmora;
using namespace velmora::test;

namespace {

// The switching engine on the real X11 backend: keys injected with XTest, the
// group read back by another client, as a user and an application would see.
class SwitchingOnX11Test : public XvfbFixture {
protected:
    void SetUp() override {
        XvfbFixture::SetUp();
        if (IsSkipped())
            return;
        keyboard = std::make_unique<XTestKeyboard>(server.display());
        probe = std::make_unique<XkbProbe>(server.display());
        ASSERT_TRUE(keyboard->isConnected());
        ASSERT_TRUE(probe->isConnected());
    }

    void TearDown() override {
        engine.reset();
        XvfbFixture::TearDown();
    }

    // Loads the layouts and starts the engine on them.
    void start(const QString& layouts, const QString& variants = {}) {
        ASSERT_TRUE(server.setLayouts(layouts, variants));
        Platform::install(X11Platform::create(server.display(), [this] { ++connectionLostCount; }));
        engine = std::make_unique<SwitchingEngine>(isShuttingDown);
        engine->createEventTap();
        ASSERT_TRUE(engine->eventTap);
    }

    bool groupBecomes(int group) {
        return waitUntil([&] { return probe->currentGroup() == group; });
    }

    // For checks that nothing changed: gives a switch every chance to happen.
    int groupAfterSettling() {
        keyboard->sync();
        settle();
        return probe->currentGroup();
    }

    // Everything the keys sent so far caused has happened: the server has
    // handled them and sent its notices, the tap has read those, and the
    // server has handled whatever the engine requested in response.
    int groupAfterBarrier() {
        for (int round = 0; round < 2; ++round) {
            keyboard->sync();
            QCoreApplication::processEvents();
        }
        keyboard->sync();
        return probe->currentGroup();
    }

    // The group after each of `times` presses of the chord (released in
    // reverse order). Each key waits for the engine, as a human's would.
    QList<int> groupsAfterChords(const QList<uint8_t>& chord, int times) {
        QList<int> groups;
        for (int i = 0; i < times; ++i) {
            for (const uint8_t key : chord) {
                keyboard->press(key);
                groupAfterBarrier();
            }
            for (auto key = chord.rbegin(); key != chord.rend(); ++key) {
                keyboard->release(*key);
                groupAfterBarrier();
            }
            groups.append(groupAfterBarrier());
        }
        return groups;
    }

    int switchedLines() const {
        return static_cast<int>(
            output.linesStartingWith(QStringLiteral("⌨️ Switched to English layout")).size());
    }

    bool isShuttingDown = false;
    int connectionLostCount = 0;
    std::unique_ptr<XTestKeyboard> keyboard;
    std::unique_ptr<XkbProbe> probe;
    std::unique_ptr<SwitchingEngine> engine;
};

TEST_F(SwitchingOnX11Test, ControlHeldSelectsEnglishAndReleaseSelectsThePreviousLayout) {
    start(QStringLiteral("ru,us"));
    ASSERT_EQ(probe->currentGroup(), 0);
    keyboard->press(Keycode::leftControl);
    ASSERT_TRUE(groupBecomes(1));
    EXPECT_TRUE(output.lines().contains(
        QStringLiteral("⌨️ Switched to English layout 'English (US)', result: 0")));
    keyboard->release(Keycode::leftControl);
    ASSERT_TRUE(groupBecomes(0));
    EXPECT_FALSE(engine->savedInputSource);
    EXPECT_FALSE(engine->modifierPressed);
}

TEST_F(SwitchingOnX11Test, TheShortcutKeyReachesTheApplicationInTheEnglishGroup) {
    start(QStringLiteral("ru,us"));
    ASSERT_TRUE(probe->openFocusedWindow());
    keyboard->press(Keycode::leftControl);
    ASSERT_TRUE(groupBecomes(1));
    keyboard->press(Keycode::c);
    keyboard->release(Keycode::c);
    keyboard->release(Keycode::leftControl);
    ASSERT_TRUE(groupBecomes(0));
    ASSERT_TRUE(waitUntil([this] { return probe->keyEvents().size() >= 4; }));

    const QList<ObservedKey>& keys = probe->keyEvents();
    ASSERT_EQ(keys.size(), 4);
    const ObservedKey& cPress = keys[1];
    ASSERT_TRUE(cPress.pressed);
    ASSERT_EQ(cPress.keycode, Keycode::c);
    // What the application decodes: Control held, English group, so Ctrl+C.
    EXPECT_TRUE(cPress.hasControl());
    EXPECT_EQ(cPress.group(), 1);
    EXPECT_EQ(keys[2].group(), 1);
    // The group in the state is the one current when the server handled each
    // key: the Control press came before the switch, its release before the
    // restore.
    EXPECT_EQ(keys[0].group(), 0);
    EXPECT_EQ(keys[3].group(), 1);
    EXPECT_EQ(switchedLines(), 1);
}

TEST_F(SwitchingOnX11Test, OverlappingTriggersSwitchOnceAndRestoreWhenTheLastIsReleased) {
    start(QStringLiteral("ru,us"));
    keyboard->press(Keycode::leftControl);
    ASSERT_TRUE(groupBecomes(1));
    keyboard->press(Keycode::leftAlt);
    keyboard->release(Keycode::leftControl);
    EXPECT_EQ(groupAfterSettling(), 1);
    keyboard->release(Keycode::leftAlt);
    ASSERT_TRUE(groupBecomes(0));
    EXPECT_EQ(switchedLines(), 1);
}

TEST_F(SwitchingOnX11Test, SuperIsATriggerToo) {
    start(QStringLiteral("ru,us"));
    keyboard->press(Keycode::leftSuper);
    ASSERT_TRUE(groupBecomes(1));
    keyboard->release(Keycode::leftSuper);
    ASSERT_TRUE(groupBecomes(0));
}

TEST_F(SwitchingOnX11Test, ShiftSwitchesOnlyWhileItsSettingIsOn) {
    start(QStringLiteral("ru,us"));
    keyboard->press(Keycode::leftShift);
    EXPECT_EQ(groupAfterSettling(), 0);
    keyboard->release(Keycode::leftShift);

    SettingsStore::standard().setBool(Constants::useShiftKey, true);
    keyboard->press(Keycode::leftShift);
    ASSERT_TRUE(groupBecomes(1));
    keyboard->release(Keycode::leftShift);
    ASSERT_TRUE(groupBecomes(0));

    SettingsStore::standard().setBool(Constants::useShiftKey, false);
    keyboard->press(Keycode::leftShift);
    EXPECT_EQ(groupAfterSettling(), 0);
    keyboard->release(Keycode::leftShift);
}

TEST_F(SwitchingOnX11Test, WithoutAnEnglishLayoutTheLayoutStays) {
    start(QStringLiteral("ru,de"));
    keyboard->press(Keycode::leftControl);
    EXPECT_EQ(groupAfterSettling(), 0);
    EXPECT_TRUE(output.lines().contains(QStringLiteral("❌ No English layout found")));
    EXPECT_TRUE(output.lines().contains(QStringLiteral("⌨️ Layout de is English: false")));
    keyboard->release(Keycode::leftControl);
    ASSERT_TRUE(waitUntil([this] { return !engine->modifierPressed; }));
    EXPECT_EQ(probe->currentGroup(), 0);
    EXPECT_FALSE(engine->savedInputSource);
}

TEST_F(SwitchingOnX11Test, UsInternationalOrTheChosenShortcutLayoutIsSelected) {
    // "gb" is selected where it is installed; elsewhere an English layout is.
    SettingsStore::standard().setString(Constants::shortcutLayout, QStringLiteral("gb"));
    const char* cases[][3] = {{"ru,us", ",intl", "us(intl)"}, {"ru,gb", "", "gb"}};
    for (const auto& [layouts, variants, selected] : cases) {
        start(QString::fromLatin1(layouts), QString::fromLatin1(variants));
        keyboard->press(Keycode::leftControl);
        ASSERT_TRUE(groupBecomes(1));
        EXPECT_TRUE(
            output.lines().contains(QStringLiteral("⌨️ Layout %1 is English: true").arg(selected)));
        keyboard->release(Keycode::leftControl);
        ASSERT_TRUE(groupBecomes(0));
    }
}

TEST_F(SwitchingOnX11Test, WithEnglishAlreadyCurrentNothingIsSelected) {
    start(QStringLiteral("us,ru"));
    keyboard->press(Keycode::leftControl);
    ASSERT_TRUE(waitUntil([this] { return engine->modifierPressed; }));
    EXPECT_EQ(probe->currentGroup(), 0);
    EXPECT_FALSE(engine->savedInputSource);
    EXPECT_EQ(switchedLines(), 0);
    keyboard->release(Keycode::leftControl);
    ASSERT_TRUE(waitUntil([this] { return !engine->modifierPressed; }));
    EXPECT_EQ(probe->currentGroup(), 0);

    // With the second layout picked by hand, the first (English) one is chosen.
    ASSERT_TRUE(probe->lockGroup(1));
    keyboard->press(Keycode::leftControl);
    ASSERT_TRUE(groupBecomes(0));
    keyboard->release(Keycode::leftControl);
    ASSERT_TRUE(groupBecomes(1));
}

TEST_F(SwitchingOnX11Test, SwitchingWorksWhileAnotherClientGrabsTheKeyboard) {
    start(QStringLiteral("ru,us"));
    XkbProbe menu(server.display());
    ASSERT_TRUE(menu.grabKeyboard());
    keyboard->press(Keycode::leftControl);
    ASSERT_TRUE(groupBecomes(1));
    keyboard->release(Keycode::leftControl);
    ASSERT_TRUE(groupBecomes(0));
}

TEST_F(SwitchingOnX11Test, NoSwitchingOnceTheTapIsTornDown) {
    start(QStringLiteral("ru,us"));
    keyboard->press(Keycode::leftControl);
    ASSERT_TRUE(groupBecomes(1));
    keyboard->release(Keycode::leftControl);
    ASSERT_TRUE(groupBecomes(0));

    isShuttingDown = true;
    engine->tearDownEventTap();
    EXPECT_FALSE(engine->eventTap);
    keyboard->press(Keycode::leftControl);
    EXPECT_EQ(groupAfterSettling(), 0);
    keyboard->release(Keycode::leftControl);
}

TEST_F(SwitchingOnX11Test, AKeymapReloadedWhileRunningIsUsedAtTheNextPress) {
    start(QStringLiteral("ru,us"));
    keyboard->press(Keycode::leftControl);
    ASSERT_TRUE(groupBecomes(1));
    keyboard->release(Keycode::leftControl);
    ASSERT_TRUE(groupBecomes(0));

    ASSERT_TRUE(server.setLayouts(QStringLiteral("ru,de,us")));
    keyboard->press(Keycode::leftControl);
    ASSERT_TRUE(groupBecomes(2));
    keyboard->release(Keycode::leftControl);
    ASSERT_TRUE(groupBecomes(0));
}

TEST_F(SwitchingOnX11Test, AKeymapReloadedWhileATriggerIsHeldRestoresTheSavedLayoutWhereItIsNow) {
    start(QStringLiteral("ru,us"));
    keyboard->press(Keycode::leftControl);
    ASSERT_TRUE(groupBecomes(1));
    // Reloading resets the group to the first one, German.
    ASSERT_TRUE(server.setLayouts(QStringLiteral("de,ru,us")));
    keyboard->release(Keycode::leftControl);
    ASSERT_TRUE(groupBecomes(1));
    ASSERT_TRUE(waitUntil([this] { return !engine->savedInputSource; }));
}

TEST_F(SwitchingOnX11Test, TheServerGoingAwayLeavesTheEngineConsistent) {
    start(QStringLiteral("ru,us"));
    keyboard->press(Keycode::leftControl);
    ASSERT_TRUE(groupBecomes(1));
    ASSERT_TRUE(engine->modifierPressed);
    ASSERT_TRUE(engine->savedInputSource);

    keyboard.reset();
    probe.reset();
    server.kill();
    ASSERT_TRUE(waitUntil([this] { return connectionLostCount == 1; }));
    EXPECT_EQ(output.linesStartingWith(QStringLiteral("❌ Lost the connection to the X display")).size(), 1);
    EXPECT_FALSE(engine->eventTap->isEnabled());

    // A release that can no longer reach the server still completes.
    engine->restoreSavedLayout();
    EXPECT_FALSE(engine->modifierPressed);
    EXPECT_FALSE(engine->savedInputSource);
    engine->switchToEnglishLayout();
    EXPECT_TRUE(engine->modifierPressed);
    EXPECT_FALSE(engine->savedInputSource);
    EXPECT_EQ(output.linesStartingWith(QStringLiteral("❌ Keyboard layouts unavailable: ")).size(), 1);

    settle(300);
    EXPECT_EQ(connectionLostCount, 1);
    isShuttingDown = true;
    engine->tearDownEventTap();
}

// The user's own layout shortcut does with Velmora what it does without it.
TEST_F(SwitchingOnX11Test, LayoutShortcutsAndShortcutsWorkAsWithoutVelmora) {
    struct Case {
        const char* layouts;
        const char* option;
        QList<uint8_t> chord;
        int groupsVisited; // without Velmora: proves the option is in force
    };
    const uint8_t alt = Keycode::leftAlt, shift = Keycode::leftShift, control = Keycode::leftControl;
    const Case cases[] = {
        {"ru,us", "grp:alt_shift_toggle", {alt, shift}, 2},
        {"ru,us", "grp:alt_shift_toggle", {shift, alt}, 2},
        {"ru,us", "grp:ctrl_shift_toggle", {control, shift}, 2},
        {"ru,us", "grp:ctrl_shift_toggle", {shift, control}, 2},
        {"ru,us,de", "grp:alt_shift_toggle", {alt, shift}, 3},
        {"ru,us", "grp:alt_shift_toggle", {control, Keycode::c}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.layouts) + " " + c.option + " chord " + std::to_string(c.chord[0]) + "+" +
                     std::to_string(c.chord[1]));
        ASSERT_TRUE(server.setLayouts(QString::fromLatin1(c.layouts), {}, QString::fromLatin1(c.option)));
        ASSERT_TRUE(probe->lockGroup(0));
        const QList<int> withoutVelmora = groupsAfterChords(c.chord, 3);
        EXPECT_EQ(QSet<int>(withoutVelmora.begin(), withoutVelmora.end()).size(), c.groupsVisited);

        ASSERT_TRUE(probe->lockGroup(0));
        Platform::install(X11Platform::create(server.display(), [] {}));
        engine = std::make_unique<SwitchingEngine>(isShuttingDown);
        engine->createEventTap();
        EXPECT_EQ(groupsAfterChords(c.chord, 3), withoutVelmora);
        engine.reset();
        Platform::install({});
    }
}

TEST_F(SwitchingOnX11Test, ALayoutAnotherProgramSelectsDuringTheHoldIsKept) {
    start(QStringLiteral("ru,us,de"));
    keyboard->press(Keycode::leftControl);
    ASSERT_TRUE(groupBecomes(1));
    ASSERT_TRUE(probe->lockGroup(2));
    keyboard->release(Keycode::leftControl);
    ASSERT_TRUE(waitUntil([this] { return !engine->modifierPressed; }));
    EXPECT_EQ(groupAfterBarrier(), 2);
    EXPECT_FALSE(engine->savedInputSource);
}

} // namespace
