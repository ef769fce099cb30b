#include "XvfbFixture.h"

#include <QCoreApplication>

#include "platform/x11/X11Platform.h"
#include "switching/SwitchingEngine.h"

using namespace velmora;
using namespace velmora::test;

namespace {

// The engine on the real X11 backend: keys injected with XTest, the group
// read back by another client, as a user and an application see them.
class SwitchingOnX11Test : public XvfbFixture {
protected:
    void startEngine() {
        Platform::install(X11Platform::create(server.display(), [this] { ++connectionLostCount; }));
        engine = std::make_unique<SwitchingEngine>(isShuttingDown);
        engine->createEventTap();
        ASSERT_TRUE(engine->eventTap);
    }

    // Everything the keys sent so far caused has happened: the server handled
    // them and sent its notices, the tap read those, and the server handled
    // what the engine requested in response.
    int groupAfterBarrier() {
        for (int round = 0; round < 2; ++round)
            keyboard->sync(), QCoreApplication::processEvents();
        keyboard->sync();
        return probe->currentGroup();
    }

    // The group after each of `times` presses of the chord (released in
    // reverse order), each key waiting for the engine as a person's would.
    QList<int> groupsAfterChords(const QList<uint8_t>& chord, int times) {
        QList<int> groups;
        for (int i = 0; i < times; ++i) {
            for (const uint8_t key : chord)
                keyboard->press(key), groupAfterBarrier();
            for (auto key = chord.rbegin(); key != chord.rend(); ++key)
                keyboard->release(*key), groupAfterBarrier();
            groups.append(groupAfterBarrier());
        }
        return groups;
    }

    bool isShuttingDown = false;
    int connectionLostCount = 0;
    std::unique_ptr<SwitchingEngine> engine;
};

TEST_F(SwitchingOnX11Test, EachTriggerHeldGivesTheApplicationItsShortcutInEnglish) {
    SettingsStore::standard().setBool(Constants::useShiftKey, true);
    startEngine();
    ASSERT_TRUE(probe->openFocusedWindow());
    for (const uint8_t trigger :
         {Keycode::leftControl, Keycode::leftAlt, Keycode::leftSuper, Keycode::leftShift}) {
        SCOPED_TRACE(trigger);
        const qsizetype before = probe->keyEvents().size();
        keyboard->press(trigger);
        ASSERT_TRUE(groupBecomes(1));
        keyboard->press(Keycode::c);
        keyboard->release(Keycode::c);
        keyboard->release(trigger);
        ASSERT_TRUE(groupBecomes(0));
        ASSERT_TRUE(waitUntil([&] { return probe->keyEvents().size() >= before + 4; }));
        // The C the application decodes: with the trigger, in the English group.
        const ObservedKey c = probe->keyEvents().at(before + 1);
        EXPECT_TRUE(c.pressed && c.keycode == Keycode::c && c.group() == 1);
        EXPECT_EQ(c.hasControl(), trigger == Keycode::leftControl);
    }
}

// Ctrl and C sent back to back, as a fast hand or a macro does.
TEST_F(SwitchingOnX11Test, ControlAndCWithoutAPauseSwitchOnceAndRestoreOnce) {
    startEngine();
    ASSERT_TRUE(probe->watchGroupChanges());
    keyboard->press(Keycode::leftControl);
    keyboard->press(Keycode::c);
    keyboard->release(Keycode::c);
    keyboard->release(Keycode::leftControl);
    ASSERT_TRUE(waitUntil([&] { return probe->groupChanges().size() >= 2; }));
    EXPECT_EQ(groupAfterBarrier(), 0);
    EXPECT_EQ(probe->groupChanges(), (QList<int>{1, 0}));
    EXPECT_FALSE(engine->modifierPressed);
    EXPECT_FALSE(engine->savedInputSource);
    // Nothing is stuck: the next hold switches again.
    keyboard->press(Keycode::leftControl);
    EXPECT_TRUE(groupBecomes(1));
    keyboard->release(Keycode::leftControl);
    EXPECT_TRUE(groupBecomes(0));
}

TEST_F(SwitchingOnX11Test, AKeymapReloadedWhileRunningIsUsedAtTheNextPress) {
    startEngine();
    for (const QString layouts : {"ru,us", "ru,de,us"}) {
        ASSERT_TRUE(server.setLayouts(layouts));
        keyboard->press(Keycode::leftControl);
        ASSERT_TRUE(groupBecomes(int(layouts.count(u','))));
        keyboard->release(Keycode::leftControl);
        ASSERT_TRUE(groupBecomes(0));
    }
}

TEST_F(SwitchingOnX11Test, ALayoutAnotherProgramSelectsDuringTheHoldIsKept) {
    ASSERT_TRUE(server.setLayouts(QStringLiteral("ru,us,de")));
    startEngine();
    keyboard->press(Keycode::leftControl);
    ASSERT_TRUE(groupBecomes(1));
    ASSERT_TRUE(probe->lockGroup(2));
    keyboard->release(Keycode::leftControl);
    ASSERT_TRUE(waitUntil([this] { return !engine->modifierPressed; }));
    EXPECT_EQ(groupAfterBarrier(), 2);
}

// The user's own layout shortcut does with Velmora what it does without it.
TEST_F(SwitchingOnX11Test, LayoutShortcutsWorkAsWithoutVelmora) {
    const uint8_t alt = Keycode::leftAlt, shift = Keycode::leftShift, control = Keycode::leftControl;
    const struct {
        const char* layouts;
        const char* option;
        QList<uint8_t> chord;
    } cases[] = {
        {"ru,us", "grp:alt_shift_toggle", {alt, shift}},
        {"ru,us", "grp:alt_shift_toggle", {shift, alt}},
        {"ru,us", "grp:ctrl_shift_toggle", {control, shift}},
        {"ru,us,de", "grp:alt_shift_toggle", {alt, shift}},
        {"ru,us", "grp:alt_shift_toggle", {control, Keycode::c}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.layouts) + " " + c.option + " " + std::to_string(c.chord[0]));
        ASSERT_TRUE(server.setLayouts(QString::fromLatin1(c.layouts), {}, QString::fromLatin1(c.option)));
        ASSERT_TRUE(probe->lockGroup(0));
        const QList<int> withoutVelmora = groupsAfterChords(c.chord, 3);
        ASSERT_TRUE(probe->lockGroup(0));
        startEngine();
        EXPECT_EQ(groupsAfterChords(c.chord, 3), withoutVelmora);
        engine.reset();
        Platform::install({});
    }
}

TEST_F(SwitchingOnX11Test, TheServerGoingAwayLeavesTheEngineConsistent) {
    startEngine();
    keyboard->press(Keycode::leftControl);
    ASSERT_TRUE(groupBecomes(1));
    keyboard.reset();
    probe.reset();
    server.kill();
    ASSERT_TRUE(waitUntil([this] { return connectionLostCount > 0; }));
    EXPECT_FALSE(engine->eventTap->isEnabled());
    // A release that can no longer reach the server still completes.
    engine->restoreSavedLayout();
    EXPECT_FALSE(engine->modifierPressed || engine->savedInputSource);
    engine->switchToEnglishLayout();
    EXPECT_FALSE(engine->savedInputSource);
    // Queued after anything the loss could still cause.
    QCoreApplication::processEvents();
    EXPECT_EQ(connectionLostCount, 1);
    EXPECT_EQ(output.linesStartingWith(QStringLiteral("❌ Lost the connection to the X display")).size(), 1);
    EXPECT_EQ(output.linesStartingWith(QStringLiteral("❌ Keyboard layouts unavailable: ")).size(), 1);
    isShuttingDown = true;
    engine->tearDownEventTap();
}

} // namespace
