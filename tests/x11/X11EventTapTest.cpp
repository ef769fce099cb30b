#include "XvfbFixture.h"

#include "platform/x11/X11EventTap.h"
#include "platform/x11/X11EventTapFactory.h"
#include "support/EvdevKeycodes.h"
#include "support/FakeXServer.h"
#include "support/WaitUntil.h"
#include "support/XTestKeyboard.h"
#include "support/XkbProbe.h"

#include <QList>

using namespace velmora;
using namespace velmora::test;

namespace {

struct Delivered {
    uint32_t type;
    uint64_t flags;
    uint32_t keycode;
    bool operator==(const Delivered&) const = default;
};

void PrintTo(const Delivered& event, std::ostream* out) {
    *out << "{type " << event.type << ", flags 0x" << std::hex << event.flags << std::dec << ", keycode "
         << event.keycode << "}";
}

struct Recorder {
    QList<Delivered> events;
    int lostCount = 0;
};

KeyboardEvent* recordEvent(uint32_t type, KeyboardEvent* event, void* userInfo) {
    static_cast<Recorder*>(userInfo)->events.append({type, event->flags, event->keycode});
    return event;
}

constexpr uint32_t down = EventType::keyDown;
constexpr uint32_t up = EventType::keyUp;
constexpr uint32_t changed = EventType::flagsChanged;

class X11EventTapTest : public XvfbFixture {
protected:
    void SetUp() override {
        XvfbFixture::SetUp();
        if (IsSkipped())
            return;
        keyboard = std::make_unique<XTestKeyboard>(server.display());
        ASSERT_TRUE(keyboard->isConnected());
    }

    std::unique_ptr<X11EventTap> createTap(uint64_t mask = keyboardEventMask) {
        QString problem;
        std::unique_ptr<X11EventTap> tap = X11EventTap::create(
            server.display(), mask, recordEvent, &recorder, [this] { ++recorder.lostCount; }, &problem);
        EXPECT_TRUE(tap) << problem.toStdString();
        return tap;
    }

    std::unique_ptr<X11EventTap> startTap(uint64_t mask = keyboardEventMask) {
        std::unique_ptr<X11EventTap> tap = createTap(mask);
        if (tap) {
            tap->scheduleOnMainLoop();
            tap->setEnabled(true);
        }
        return tap;
    }

    void tap(uint8_t keycode) {
        keyboard->press(keycode);
        keyboard->release(keycode);
    }

    // Presses and releases V, then waits until the tap has reported its
    // release: everything injected before it has been reported by then.
    bool passMarker() {
        tap(Keycode::v);
        return waitUntil([this] {
            return !recorder.events.isEmpty() && recorder.events.last().type == up &&
                   recorder.events.last().keycode == Keycode::v;
        });
    }

    QList<Delivered> withoutMarker() const {
        QList<Delivered> events = recorder.events;
        events.removeIf([](const Delivered& event) { return event.keycode == Keycode::v; });
        return events;
    }

    Recorder recorder;
    std::unique_ptr<XTestKeyboard> keyboard;
};

TEST_F(X11EventTapTest, ShortcutArrivesAsModifierChangesAroundKeysCarryingTheModifier) {
    auto eventTap = startTap();
    ASSERT_TRUE(eventTap);
    keyboard->press(Keycode::leftControl);
    tap(Keycode::c);
    keyboard->release(Keycode::leftControl);
    ASSERT_TRUE(waitUntil([this] { return recorder.events.size() >= 4; }));
    settle();
    const QList<Delivered> expected{{changed, ModifierFlag::control, Keycode::leftControl},
                                    {down, ModifierFlag::control, Keycode::c},
                                    {up, ModifierFlag::control, Keycode::c},
                                    {changed, 0, Keycode::leftControl}};
    EXPECT_EQ(recorder.events, expected);
}

TEST_F(X11EventTapTest, ModifierKeysOnlyChangeFlagsAndEachMapsToItsBit) {
    auto eventTap = startTap();
    ASSERT_TRUE(eventTap);
    for (uint8_t modifier : {Keycode::leftShift, Keycode::leftAlt, Keycode::leftSuper})
        tap(modifier);
    ASSERT_TRUE(passMarker());
    const QList<Delivered> expected{
        {changed, ModifierFlag::shift, Keycode::leftShift},    {changed, 0, Keycode::leftShift},
        {changed, ModifierFlag::option, Keycode::leftAlt},     {changed, 0, Keycode::leftAlt},
        {changed, ModifierFlag::command, Keycode::leftSuper},  {changed, 0, Keycode::leftSuper}};
    EXPECT_EQ(withoutMarker(), expected);
}

TEST_F(X11EventTapTest, CapsLockLocksItsFlagUntilPressedAgain) {
    auto eventTap = startTap();
    ASSERT_TRUE(eventTap);
    tap(Keycode::capsLock);
    tap(Keycode::c);
    tap(Keycode::capsLock);
    ASSERT_TRUE(passMarker());
    const QList<Delivered> expected{{changed, ModifierFlag::capsLock, Keycode::capsLock},
                                    {down, ModifierFlag::capsLock, Keycode::c},
                                    {up, ModifierFlag::capsLock, Keycode::c},
                                    {changed, 0, Keycode::capsLock}};
    EXPECT_EQ(withoutMarker(), expected);
}

TEST_F(X11EventTapTest, GroupChangesMadeByClientsAreNotEvents) {
    ASSERT_TRUE(server.setLayouts(QStringLiteral("ru,us")));
    auto eventTap = startTap();
    ASSERT_TRUE(eventTap);
    XkbProbe probe(server.display());
    ASSERT_TRUE(probe.lockGroup(1));
    ASSERT_TRUE(probe.lockGroup(0));
    ASSERT_TRUE(passMarker());
    EXPECT_EQ(withoutMarker(), QList<Delivered>{});
}

TEST_F(X11EventTapTest, NothingIsDeliveredBeforeEnablingOrWhileDisabled) {
    std::unique_ptr<X11EventTap> eventTap = createTap();
    ASSERT_TRUE(eventTap);
    eventTap->scheduleOnMainLoop();
    keyboard->press(Keycode::leftControl);
    tap(Keycode::c);
    ASSERT_TRUE(keyboard->sync());
    settle();
    EXPECT_TRUE(recorder.events.isEmpty());

    eventTap->setEnabled(true);
    EXPECT_TRUE(eventTap->isEnabled());
    ASSERT_TRUE(passMarker());
    // The modifier pressed while disabled is known all the same.
    EXPECT_EQ(recorder.events.first(), (Delivered{down, ModifierFlag::control, Keycode::v}));

    recorder.events.clear();
    eventTap->setEnabled(false);
    EXPECT_FALSE(eventTap->isEnabled());
    keyboard->release(Keycode::leftControl);
    tap(Keycode::c);
    ASSERT_TRUE(keyboard->sync());
    settle();
    EXPECT_TRUE(recorder.events.isEmpty());
}

TEST_F(X11EventTapTest, KeysAndModifiersHeldBeforeCreationAreKnown) {
    keyboard->press(Keycode::leftControl);
    keyboard->press(Keycode::c);
    ASSERT_TRUE(keyboard->sync());
    auto eventTap = startTap();
    ASSERT_TRUE(eventTap);
    keyboard->release(Keycode::c);
    keyboard->release(Keycode::leftControl);
    ASSERT_TRUE(waitUntil([this] { return recorder.events.size() >= 2; }));
    const QList<Delivered> expected{{up, ModifierFlag::control, Keycode::c},
                                    {changed, 0, Keycode::leftControl}};
    EXPECT_EQ(recorder.events, expected);
}

TEST_F(X11EventTapTest, ReleasingAKeyThatIsUpIsNotReported) {
    auto eventTap = startTap();
    ASSERT_TRUE(eventTap);
    tap(Keycode::c);
    keyboard->release(Keycode::c);
    keyboard->release(Keycode::c);
    ASSERT_TRUE(passMarker());
    const QList<Delivered> expected{{down, 0, Keycode::c}, {up, 0, Keycode::c}};
    EXPECT_EQ(withoutMarker(), expected);
}

TEST_F(X11EventTapTest, KeysStillArriveWhileAnotherClientGrabsTheKeyboard) {
    auto eventTap = startTap();
    ASSERT_TRUE(eventTap);
    XkbProbe menu(server.display());
    // The grab succeeds: the tap itself holds none.
    ASSERT_TRUE(menu.grabKeyboard());
    keyboard->press(Keycode::leftControl);
    tap(Keycode::c);
    keyboard->release(Keycode::leftControl);
    ASSERT_TRUE(passMarker());
    const QList<Delivered> expected{{changed, ModifierFlag::control, Keycode::leftControl},
                                    {down, ModifierFlag::control, Keycode::c},
                                    {up, ModifierFlag::control, Keycode::c},
                                    {changed, 0, Keycode::leftControl}};
    EXPECT_EQ(withoutMarker(), expected);
}

TEST_F(X11EventTapTest, KeyEventsReachTheFocusedApplicationUnchanged) {
    XkbProbe application(server.display());
    ASSERT_TRUE(application.openFocusedWindow());
    auto eventTap = startTap();
    ASSERT_TRUE(eventTap);
    keyboard->press(Keycode::leftControl);
    tap(Keycode::c);
    keyboard->release(Keycode::leftControl);
    ASSERT_TRUE(waitUntil([&] { return application.keyEvents().size() >= 4; }));
    const QList<ObservedKey>& keys = application.keyEvents();
    ASSERT_EQ(keys.size(), 4);
    EXPECT_TRUE(keys[0].pressed && keys[0].keycode == Keycode::leftControl);
    EXPECT_TRUE(keys[1].pressed && keys[1].keycode == Keycode::c && keys[1].hasControl());
    EXPECT_TRUE(!keys[2].pressed && keys[2].keycode == Keycode::c && keys[2].hasControl());
    EXPECT_TRUE(!keys[3].pressed && keys[3].keycode == Keycode::leftControl);
}

TEST_F(X11EventTapTest, OnlyTheTypesInTheMaskAreDelivered) {
    auto eventTap = startTap(uint64_t{1} << EventType::flagsChanged);
    ASSERT_TRUE(eventTap);
    tap(Keycode::c);
    keyboard->press(Keycode::leftControl);
    keyboard->release(Keycode::leftControl);
    ASSERT_TRUE(waitUntil([this] { return recorder.events.size() >= 2; }));
    settle();
    const QList<Delivered> expected{{changed, ModifierFlag::control, Keycode::leftControl},
                                    {changed, 0, Keycode::leftControl}};
    EXPECT_EQ(recorder.events, expected);
}

TEST_F(X11EventTapTest, AModifierMapChangedAtRunTimeIsFollowed) {
    auto eventTap = startTap();
    ASSERT_TRUE(eventTap);
    tap(Keycode::capsLock);
    tap(Keycode::capsLock);
    ASSERT_TRUE(passMarker());
    recorder.events.clear();

    // Caps Lock becomes a second Control key.
    ASSERT_TRUE(server.setLayouts(QStringLiteral("us"), {}, QStringLiteral("ctrl:nocaps")));
    keyboard->press(Keycode::capsLock);
    tap(Keycode::c);
    keyboard->release(Keycode::capsLock);
    ASSERT_TRUE(passMarker());
    const QList<Delivered> expected{{changed, ModifierFlag::control, Keycode::capsLock},
                                    {down, ModifierFlag::control, Keycode::c},
                                    {up, ModifierFlag::control, Keycode::c},
                                    {changed, 0, Keycode::capsLock}};
    EXPECT_EQ(withoutMarker(), expected);
}

TEST_F(X11EventTapTest, NothingArrivesAfterInvalidation) {
    auto eventTap = startTap();
    ASSERT_TRUE(eventTap);
    eventTap->invalidate();
    EXPECT_FALSE(eventTap->isEnabled());
    eventTap->setEnabled(true);
    EXPECT_FALSE(eventTap->isEnabled());
    keyboard->press(Keycode::leftControl);
    tap(Keycode::c);
    keyboard->release(Keycode::leftControl);
    ASSERT_TRUE(keyboard->sync());
    settle();
    EXPECT_TRUE(recorder.events.isEmpty());
}

TEST_F(X11EventTapTest, LosingTheServerIsReportedOnceAndReadingStops) {
    auto eventTap = startTap();
    ASSERT_TRUE(eventTap);
    keyboard->press(Keycode::leftControl);
    ASSERT_TRUE(waitUntil([this] { return recorder.events.size() == 1; }));

    keyboard.reset();
    server.kill();
    ASSERT_TRUE(waitUntil([this] { return recorder.lostCount == 1; }));
    settle(300);
    EXPECT_EQ(recorder.lostCount, 1);
    const QStringList lost =
        output.linesStartingWith(QStringLiteral("❌ Lost the connection to the X display"));
    ASSERT_EQ(lost.size(), 1);
    EXPECT_TRUE(lost.first().contains(QString::fromLatin1(server.display())));
    EXPECT_FALSE(eventTap->isEnabled());
    EXPECT_EQ(recorder.events.size(), 1);
    eventTap->setEnabled(true);
    eventTap->invalidate();
}

// Creation where the keyboard cannot be observed: no server at all, a server
// without XKB, a server whose XInput is older than 2.2.
class X11EventTapCreationTest : public ::testing::Test {
protected:
    std::unique_ptr<X11EventTap> create(const QByteArray& display) {
        return X11EventTap::create(display, keyboardEventMask, recordEvent, &recorder, {}, &problem);
    }

    Recorder recorder;
    QString problem;
};

TEST_F(X11EventTapCreationTest, FailsWithoutAServer) {
    FakeXServer placeholder({}); // holds a display number nobody else uses
    ASSERT_FALSE(placeholder.display().isEmpty());
    const QByteArray unused = placeholder.display() + "1";
    EXPECT_EQ(create(unused), nullptr);
    EXPECT_EQ(problem, QStringLiteral("cannot connect to the X display %1").arg(QString::fromLatin1(unused)));
}

TEST_F(X11EventTapCreationTest, FailsWithoutXkb) {
    FakeXServer server({.xkb = false});
    ASSERT_FALSE(server.display().isEmpty());
    EXPECT_EQ(create(server.display()), nullptr);
    EXPECT_TRUE(problem.contains(QStringLiteral("has no XKB extension"))) << problem.toStdString();
}

TEST_F(X11EventTapCreationTest, FailsWithoutXInput) {
    FakeXServer server({.xinput = false});
    ASSERT_FALSE(server.display().isEmpty());
    EXPECT_EQ(create(server.display()), nullptr);
    EXPECT_TRUE(problem.contains(QStringLiteral("has no XInput extension"))) << problem.toStdString();
}

TEST_F(X11EventTapCreationTest, FailsWithXInputOlderThanTwoPointTwo) {
    FakeXServer server({.xinputMinorVersion = 1});
    ASSERT_FALSE(server.display().isEmpty());
    EXPECT_EQ(create(server.display()), nullptr);
    EXPECT_TRUE(problem.contains(QStringLiteral("offers XInput 2.1, and Velmora needs 2.2")))
        << problem.toStdString();
}

TEST_F(X11EventTapCreationTest, GetsPastTheVersionChecksWithXInputTwoPointTwo) {
    // The scripted server then refuses the event selection: proof that the
    // checks above failed for the reason they name.
    FakeXServer server({});
    ASSERT_FALSE(server.display().isEmpty());
    EXPECT_EQ(create(server.display()), nullptr);
    EXPECT_TRUE(problem.contains(QStringLiteral("refused the keyboard event selection")))
        << problem.toStdString();
}

TEST_F(X11EventTapCreationTest, TheFactorySaysWhyItHasNoTap) {
    CapturedOutput output;
    FakeXServer server({.xkb = false});
    ASSERT_FALSE(server.display().isEmpty());
    X11EventTapFactory factory(server.display());
    EXPECT_EQ(factory.createEventTap(keyboardEventMask, recordEvent, &recorder), nullptr);
    EXPECT_EQ(output.lines(),
              QStringList{QStringLiteral("❌ Cannot observe the keyboard: the X display %1 has no "
                                         "XKB extension")
                              .arg(QString::fromLatin1(server.display()))});
}

} // namespace
