#include "platform/x11/X11AccessibilityTrust.h"
#include "platform/x11/X11EventTap.h"
#include "platform/x11/X11Platform.h"
#include "settings/Constants.h"
#include "settings/InMemorySettingsStore.h"
#include "support/CapturedOutput.h"
#include "support/EvdevKeycodes.h"
#include "support/WaitUntil.h"
#include "support/XkbProbe.h"
#include "support/XvfbServer.h"
#include "switching/SwitchingEngine.h"

#include <QCoreApplication>
#include <QProcess>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

// Each test: its own Xvfb with "ru,us", a client that types and looks, captured lines, default settings.
class XvfbFixture : public ::testing::Test {
protected:
    void SetUp() override {
        SettingsStore::setStandard(std::make_shared<InMemorySettingsStore>());
        configureDefaultSettings();
        if (!server.start())
            GTEST_SKIP() << "the X11 tests need Xvfb: " << server.error().toStdString();
        probe = std::make_unique<XkbProbe>(server.display());
        ASSERT_TRUE(server.setLayouts(QStringLiteral("ru,us")) && probe->isConnected());
    }
    void TearDown() override { Platform::install({}); }
    bool groupBecomes(int group) {
        return waitUntil([&] { return probe->currentGroup() == group; });
    }

    XvfbServer server;
    CapturedOutput output;
    std::unique_ptr<XkbProbe> probe;
};

using Delivered = std::tuple<uint32_t, uint64_t, uint32_t>; // type, flags, keycode

KeyboardEvent* record(uint32_t type, KeyboardEvent* event, void* events) {
    static_cast<QList<Delivered>*>(events)->append({type, event->flags, event->keycode});
    return event;
}

constexpr uint32_t down = EventType::keyDown, up = EventType::keyUp, changed = EventType::flagsChanged;

// The tap on a real server: what real keys, and other clients' group changes and grabs, turn into.
using X11EventTapTest = XvfbFixture;

TEST_F(X11EventTapTest, RealKeysArriveAsFlagChangesAndKeysCarryingThemEvenUnderAGrab) {
    QList<Delivered> events;
    QString problem;
    const auto tap = X11EventTap::create(server.display(), keyboardEventMask, record, &events, {}, &problem);
    ASSERT_TRUE(tap) << problem.toStdString();
    tap->scheduleOnMainLoop();
    tap->setEnabled(true);
    ASSERT_TRUE(probe->grabKeyboard());
    probe->press(Keycode::leftControl);
    probe->type(Keycode::c);
    probe->release(Keycode::c); // already up: nothing
    probe->release(Keycode::leftControl);
    probe->type(Keycode::capsLock);
    probe->type(Keycode::c);
    probe->type(Keycode::capsLock);
    // Group changes by clients are no key events.
    ASSERT_TRUE(probe->lockGroup(1) && probe->lockGroup(0));
    // V comes last: once its release is reported, everything before it is.
    probe->type(Keycode::v);
    ASSERT_TRUE(waitUntil([&] { return events.value(events.size() - 1) == Delivered{up, 0, Keycode::v}; }));
    events.removeIf([](const Delivered& event) { return std::get<2>(event) == Keycode::v; });
    const QList<Delivered> expected{{changed, ModifierFlag::control, Keycode::leftControl},
                                    {down, ModifierFlag::control, Keycode::c},
                                    {up, ModifierFlag::control, Keycode::c},
                                    {changed, 0, Keycode::leftControl},
                                    {changed, ModifierFlag::capsLock, Keycode::capsLock},
                                    {down, ModifierFlag::capsLock, Keycode::c},
                                    {up, ModifierFlag::capsLock, Keycode::c},
                                    {changed, 0, Keycode::capsLock}};
    EXPECT_EQ(events, expected);
}

// The engine on the real X11 backend: XTest keys, the group read back by another client, as a user sees it.
class SwitchingOnX11Test : public XvfbFixture {
protected:
    void startEngine() {
        Platform::install(X11Platform::create(server.display(), [this] { ++connectionLostCount; }));
        engine = std::make_unique<SwitchingEngine>(isShuttingDown);
        engine->createEventTap();
        ASSERT_TRUE(engine->eventTap);
    }

    // Everything the keys sent so far caused has happened: the server handled them and sent its notices, the
    // tap read those, and the server handled what the engine requested in response.
    int groupAfterBarrier() {
        for (int round = 0; round < 2; ++round)
            probe->sync(), QCoreApplication::processEvents();
        probe->sync();
        return probe->currentGroup();
    }

    // The group after each of `times` presses of the chord (released in reverse), each key waiting for the
    // engine as a person's would: no barrier of the probe orders another client's requests, so a trigger's
    // press waits for English (the second layout), and with `expected` each group is given until it matches.
    QList<int> groupsAfterChords(const QList<uint8_t>& chord, int times, const QList<int>& expected = {}) {
        const QList<uint8_t> triggers{Keycode::leftControl, Keycode::leftAlt, Keycode::leftSuper};
        QList<int> groups;
        for (int i = 0; i < times; ++i) {
            for (const uint8_t key : chord) {
                const bool holding = engine && engine->modifierPressed;
                probe->press(key), groupAfterBarrier();
                if (engine && !holding && triggers.contains(key))
                    waitUntil([&] { return engine->modifierPressed && groupAfterBarrier() == 1; });
            }
            for (auto key = chord.rbegin(); key != chord.rend(); ++key)
                probe->release(*key), groupAfterBarrier();
            if (!expected.isEmpty())
                waitUntil(
                    [&] { return !engine->modifierPressed && groupAfterBarrier() == expected.value(i); });
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
        probe->press(trigger);
        ASSERT_TRUE(groupBecomes(1));
        probe->type(Keycode::c);
        probe->release(trigger);
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
    probe->press(Keycode::leftControl);
    probe->type(Keycode::c);
    probe->release(Keycode::leftControl);
    ASSERT_TRUE(waitUntil([&] { return probe->groupChanges().size() >= 2; }));
    EXPECT_EQ(groupAfterBarrier(), 0);
    EXPECT_EQ(probe->groupChanges(), (QList<int>{1, 0}));
    EXPECT_FALSE(engine->modifierPressed);
    EXPECT_FALSE(engine->savedInputSource);
}

// A keymap reloaded while running is used at the next press; a layout another program selects is kept.
TEST_F(SwitchingOnX11Test, KeymapReloadsAndOtherProgramsSelectionsAreFollowed) {
    startEngine();
    for (const QString layouts : {"ru,us", "ru,de,us"}) {
        ASSERT_TRUE(server.setLayouts(layouts));
        probe->press(Keycode::leftControl);
        ASSERT_TRUE(groupBecomes(int(layouts.count(u','))));
        probe->release(Keycode::leftControl);
        ASSERT_TRUE(groupBecomes(0));
    }
    probe->press(Keycode::leftControl);
    ASSERT_TRUE(groupBecomes(2));
    ASSERT_TRUE(probe->lockGroup(1));
    probe->release(Keycode::leftControl);
    ASSERT_TRUE(waitUntil([this] { return !engine->modifierPressed; }));
    EXPECT_EQ(groupAfterBarrier(), 1);
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
        ASSERT_TRUE(server.setLayouts(QString::fromLatin1(c.layouts), QString::fromLatin1(c.option)));
        ASSERT_TRUE(probe->lockGroup(0));
        const QList<int> withoutVelmora = groupsAfterChords(c.chord, 3);
        ASSERT_TRUE(probe->lockGroup(0));
        startEngine();
        EXPECT_EQ(groupsAfterChords(c.chord, 3, withoutVelmora), withoutVelmora);
        engine.reset();
        Platform::install({});
    }
}

// Two real windows under openbox: one of an excluded application (known by _GTK_APPLICATION_ID, which wins
// over its class), one of another (known by its class). Activation moves the focus without a key.
TEST_F(SwitchingOnX11Test, AWindowOfAnExcludedApplicationInFrontKeepsItsLayout) {
    ASSERT_TRUE(server.startWindowManager()) << server.error().toStdString();
    const auto run = [this](const QString& program, const QStringList& arguments) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(server.display()));
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        return process.waitForFinished(10000) ? QString::fromLatin1(process.readAllStandardOutput()).trimmed()
                                              : QString();
    };
    QProcess windows[2];
    QString ids[2];
    for (int i = 0; i < 2; ++i) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(server.display()));
        windows[i].setProcessEnvironment(environment);
        windows[i].start(QStringLiteral("xmessage"),
                         {QStringLiteral("-name"), QStringLiteral("w%1").arg(i), "x"});
        ids[i] = run("xdotool", {"search", "--sync", "--classname", QStringLiteral("w%1").arg(i)});
        ASSERT_FALSE(ids[i].isEmpty());
    }
    run("xdotool", {"set_window", "--class", "Editor", ids[1]});
    run("xprop", {"-id", ids[0], "-f", "_GTK_APPLICATION_ID", "8u", "-set", "_GTK_APPLICATION_ID",
                  "org.example.Game"});
    SettingsStore::standard().setStringList(Constants::excludedApplications, {"ORG.example.game"});
    startEngine();
    const FocusedApplication& focus = *Platform::current().focus;
    EXPECT_TRUE(focus.followsFocus());
    for (const int round : {0, 1, 0}) {
        SCOPED_TRACE(round);
        run("xdotool", {"windowactivate", "--sync", ids[round]});
        ASSERT_TRUE(waitUntil([&] {
            return focus.identifier() ==
                   (round == 0 ? QStringLiteral("org.example.Game") : QStringLiteral("Editor"));
        }));
        probe->press(Keycode::leftControl);
        if (round == 1) {
            ASSERT_TRUE(groupBecomes(1));
        }
        EXPECT_EQ(groupAfterBarrier(), round);
        probe->release(Keycode::leftControl);
        ASSERT_TRUE(waitUntil([this] { return !engine->modifierPressed; }));
        EXPECT_EQ(groupAfterBarrier(), 0);
    }
    for (QProcess& window : windows)
        window.kill(), window.waitForFinished();
}

TEST_F(SwitchingOnX11Test, TheServerGoingAwayLeavesTheEngineConsistent) {
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("XDG_SESSION_TYPE", "x11");
    X11AccessibilityTrust trust(server.display());
    EXPECT_TRUE(trust.isProcessTrusted()) << trust.untrustedReason().english.toStdString();
    startEngine();
    probe->press(Keycode::leftControl);
    ASSERT_TRUE(groupBecomes(1));
    probe.reset();
    server.kill();
    ASSERT_TRUE(waitUntil([this] { return connectionLostCount > 0; }));
    EXPECT_FALSE(trust.isProcessTrusted());
    EXPECT_EQ(trust.untrustedReason().cause, UntrustedReason::Cause::displayUnreachable);
    EXPECT_TRUE(trust.untrustedReason().english.contains(QStringLiteral("cannot connect")));
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
