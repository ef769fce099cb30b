#include "XvfbFixture.h"

#include "platform/x11/X11AccessibilityTrust.h"
#include "platform/x11/X11EventTap.h"
#include "platform/x11/X11TextInputSources.h"

using namespace velmora;
using namespace velmora::test;

namespace {

struct Delivered {
    uint32_t type;
    uint64_t flags;
    uint32_t keycode;
    bool operator==(const Delivered&) const = default;
};

KeyboardEvent* record(uint32_t type, KeyboardEvent* event, void* events) {
    static_cast<QList<Delivered>*>(events)->append({type, event->flags, event->keycode});
    return event;
}

constexpr uint32_t down = EventType::keyDown, up = EventType::keyUp, changed = EventType::flagsChanged;

// The tap on a real server: what real keys, and other clients' group
// changes and grabs, turn into.
class X11EventTapTest : public XvfbFixture {
protected:
    void type(uint8_t keycode) {
        keyboard->press(keycode);
        keyboard->release(keycode);
    }

    // Types V and waits for its release: all keys sent before have been
    // reported by then. Returns what came before V.
    QList<Delivered> eventsBeforeMarker() {
        type(Keycode::v);
        EXPECT_TRUE(waitUntil([this] {
            return !events.isEmpty() && events.last() == Delivered{up, events.last().flags, Keycode::v};
        }));
        QList<Delivered> before = std::exchange(events, {});
        before.removeIf([](const Delivered& event) { return event.keycode == Keycode::v; });
        return before;
    }

    QList<Delivered> events;
};

TEST_F(X11EventTapTest, RealKeysArriveAsFlagChangesAndKeysCarryingThemEvenUnderAGrab) {
    QString problem;
    const auto tap = X11EventTap::create(server.display(), keyboardEventMask, record, &events, {}, &problem);
    ASSERT_TRUE(tap) << problem.toStdString();
    tap->scheduleOnMainLoop();
    tap->setEnabled(true);
    ASSERT_TRUE(probe->grabKeyboard());
    for (const uint8_t modifier : {Keycode::leftShift, Keycode::leftAlt, Keycode::leftSuper})
        type(modifier);
    keyboard->press(Keycode::leftControl);
    type(Keycode::c);
    keyboard->release(Keycode::c); // already up: nothing
    keyboard->release(Keycode::leftControl);
    type(Keycode::capsLock);
    type(Keycode::c);
    type(Keycode::capsLock);
    // Group changes by clients are no key events.
    ASSERT_TRUE(probe->lockGroup(1) && probe->lockGroup(0));
    const QList<Delivered> expected{{changed, ModifierFlag::shift, Keycode::leftShift},
                                    {changed, 0, Keycode::leftShift},
                                    {changed, ModifierFlag::option, Keycode::leftAlt},
                                    {changed, 0, Keycode::leftAlt},
                                    {changed, ModifierFlag::command, Keycode::leftSuper},
                                    {changed, 0, Keycode::leftSuper},
                                    {changed, ModifierFlag::control, Keycode::leftControl},
                                    {down, ModifierFlag::control, Keycode::c},
                                    {up, ModifierFlag::control, Keycode::c},
                                    {changed, 0, Keycode::leftControl},
                                    {changed, ModifierFlag::capsLock, Keycode::capsLock},
                                    {down, ModifierFlag::capsLock, Keycode::c},
                                    {up, ModifierFlag::capsLock, Keycode::c},
                                    {changed, 0, Keycode::capsLock}};
    EXPECT_EQ(eventsBeforeMarker(), expected);
}

class X11TextInputSourcesTest : public XvfbFixture {
protected:
    void SetUp() override {
        XvfbFixture::SetUp();
        if (!IsSkipped())
            sources = std::make_unique<X11TextInputSources>(server.display());
    }
    QList<InputSourceRef> list() {
        return sources->createInputSourceList().value_or(QList<InputSourceRef>{});
    }
    QString current() {
        const InputSourceRef source = sources->copyCurrentKeyboardInputSource();
        return source ? source->identifier.value_or(QString()) : QStringLiteral("<none>");
    }

    std::unique_ptr<X11TextInputSources> sources;
};

TEST_F(X11TextInputSourcesTest, ListsTheGroupsInOrderWithLayoutVariantAndName) {
    ASSERT_TRUE(
        server.setLayouts(QStringLiteral("de,ru,us,gr"), QStringLiteral("nodeadkeys,phonetic,intl,")));
    QStringList described;
    for (const InputSourceRef& source : list())
        described << QStringLiteral("%1 %2 %3")
                         .arg(*source->identifier)
                         .arg(source->handle)
                         .arg(*source->localizedName);
    EXPECT_EQ(described,
              (QStringList{"de(nodeadkeys) 0 German (no dead keys)", "ru(phonetic) 1 Russian (phonetic)",
                           "us(intl) 2 English (US, intl., with dead keys)", "gr 3 Greek"}));
}

TEST_F(X11TextInputSourcesTest, SelectsForEveryClientSeesTheirChangesAndFollowsReloads) {
    const QList<InputSourceRef> before = list();
    ASSERT_EQ(before.size(), 2);
    EXPECT_EQ(sources->selectInputSource(before[1]), 0);
    EXPECT_TRUE(groupBecomes(1));
    ASSERT_TRUE(probe->lockGroup(0));
    EXPECT_EQ(current(), QStringLiteral("ru"));

    // A reloaded keymap is seen; a source read before is found by its layout, or not at all.
    ASSERT_TRUE(server.setLayouts(QStringLiteral("de,ru,us")));
    EXPECT_EQ(list().size(), 3);
    EXPECT_EQ(sources->selectInputSource(before[1]), 0);
    EXPECT_TRUE(groupBecomes(2));
    EXPECT_EQ(sources->selectInputSource(before[0]), 0);
    EXPECT_TRUE(groupBecomes(1));

    ASSERT_TRUE(server.setLayouts(QStringLiteral("de,us")));
    ASSERT_TRUE(probe->lockGroup(1));
    EXPECT_EQ(sources->selectInputSource(before[0]), X11TextInputSources::noSuchSource);
    // A round trip on the sources' connection: had anything been sent, it is handled.
    EXPECT_EQ(current(), QStringLiteral("us"));
    EXPECT_EQ(probe->currentGroup(), 1);
}

class X11AccessibilityTrustTest : public XvfbFixture {};

TEST_F(X11AccessibilityTrustTest, NeedsAReachableDisplayWithXkbAndXInput) {
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("XDG_SESSION_TYPE", "x11");
    X11AccessibilityTrust trust(server.display());
    EXPECT_TRUE(trust.isProcessTrusted()) << trust.untrustedReason().toStdString();
    server.kill();
    EXPECT_FALSE(trust.isProcessTrusted());
    EXPECT_TRUE(trust.untrustedReason().contains(QStringLiteral("cannot connect")));
}

} // namespace
