#include "platform/evdev/EvdevEventTap.h"
#include "fakes/FakeEvdevDeviceAccess.h"
#include "fakes/FakePlatform.h"
#include "platform/evdev/EvdevKeyboards.h"
#include "platform/evdev/SeatKeymap.h"
#include "settings/Constants.h"
#include "settings/InMemorySettingsStore.h"
#include "support/WaitUntil.h"
#include "switching/SwitchingEngine.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/input.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmora;

namespace {

constexpr uint64_t ctrl = ModifierFlag::control, alt = ModifierFlag::option, shift = ModifierFlag::shift,
                   caps = ModifierFlag::capsLock, super = ModifierFlag::command;
constexpr uint32_t F = EventType::flagsChanged, D = EventType::keyDown, U = EventType::keyUp;

// A keyboard as a pipe carrying struct input_event, opened by path as the observer opens a device. A report
// follows every event, except between a drop and the report that ends it, as the kernel writes them.
struct Stream {
    int fds[2] = {-1, -1};
    bool dropping = false;
    Stream() { EXPECT_EQ(pipe2(fds, O_CLOEXEC), 0); }
    ~Stream() { ::close(fds[0]), closeWriter(); }
    QString path() const { return QStringLiteral("/proc/self/fd/%1").arg(fds[0]); }
    // Returns once the tap has read, and so handled, it: reading and handling are one step on the main
    // thread.
    void write(uint16_t type, uint16_t code, int32_t value) {
        input_event events[2]{{{}, type, code, value}, {{}, EV_SYN, SYN_REPORT, 0}};
        if (type == EV_SYN)
            dropping = code == SYN_DROPPED;
        const size_t size = (type == EV_SYN || dropping ? 1 : 2) * sizeof(input_event);
        ASSERT_EQ(::write(fds[1], events, size), ssize_t(size));
        EXPECT_TRUE(test::waitUntil([this] {
            int unread = -1;
            return ::ioctl(fds[0], FIONREAD, &unread) == 0 && unread == 0;
        }));
    }
    void closeWriter() {
        if (fds[1] >= 0)
            ::close(std::exchange(fds[1], -1));
    }
};

// What the engine was given: event type and flags.
using Delivered = std::pair<uint32_t, uint64_t>;

KeyboardEvent* record(uint32_t type, KeyboardEvent* event, void* userInfo) {
    EXPECT_TRUE(type == F || event->keycode == 0) << "a key's code was passed on";
    static_cast<std::vector<Delivered>*>(userInfo)->push_back({type, event->flags});
    return event;
}

const QHash<QString, uint16_t> keys{
    {"lctrl", KEY_LEFTCTRL},   {"rctrl", KEY_RIGHTCTRL}, {"lalt", KEY_LEFTALT}, {"ralt", KEY_RIGHTALT},
    {"lshift", KEY_LEFTSHIFT}, {"caps", KEY_CAPSLOCK},   {"c", KEY_C},          {"v", KEY_V},
    {"lmeta", KEY_LEFTMETA}};

// Plays a script of events on the streams: "1+lctrl" presses left Ctrl on keyboard 1, "-" releases, "*"
// repeats; "0drop", "0report", "0light" (the Caps Lock light goes on) and "0close" (the keyboard is
// unplugged); "L1" makes layout 1 the desktop's, "K" gives the seat its keymap anew.
void play(const QString& script, Stream* streams, const EvdevEventTap& tap, int& layout, SeatKeymap& seat) {
    for (const QString& token : script.split(u' ')) {
        Stream& stream = streams[token.at(0).digitValue() % 2];
        if (token.at(0) == u'L')
            layout = token.at(1).digitValue();
        else if (token == u'K')
            seat.set(seat.current());
        else if (const int value = QStringLiteral("-+*").indexOf(token.at(1)); value >= 0)
            stream.write(EV_KEY, keys.value(token.mid(2)), value);
        else if (token.endsWith(u"drop") || token.endsWith(u"report"))
            stream.write(EV_SYN, token.endsWith(u"drop") ? SYN_DROPPED : SYN_REPORT, 0);
        else if (token.endsWith(u"light"))
            stream.write(EV_LED, LED_CAPSL, 1);
        else if (stream.closeWriter(); !test::waitUntil([&] { return tap.deviceCount() == 1; }))
            ADD_FAILURE() << "the unplugged keyboard is still read";
    }
}

// Events on two keyboards, and what the engine is given.
TEST(EvdevEventTapTest, ScriptTable) {
    const struct {
        const char* name;
        QString script;
        std::vector<Delivered> expected;
        QString heldAfterDrop = {}; // null: the keyboard cannot tell
        QString keymap = {};        // the seat's: "layouts options"; none: the fixed table
    } rows[] = {
        {"modifier and key on two keyboards",
         "0+lctrl 1+c 1-c 1+rctrl 0-lctrl 1-rctrl",
         {{F, ctrl}, {D, ctrl}, {U, ctrl}, {F, 0}}},
        {"repeat is ignored", "0+ralt 0*ralt 0+v 0*v 0-v", {{F, alt}, {D, alt}, {U, alt}}},
        {"drop", "0+lctrl 0drop 0-lctrl 0+c 0report 0-c", {{F, ctrl}, {F, alt}, {U, alt}}, "lalt c"},
        {"drop, held keys unknown", "0+lctrl 0drop 0report", {{F, ctrl}, {F, 0}}},
        {"unplugged", "0+lshift 1+lctrl 0close 1+c", {{F, shift}, {F, shift | ctrl}, {F, ctrl}, {D, ctrl}}},
        {"Caps Lock is a lock",
         "0+caps 0-caps 1+lshift 0+caps 0-caps 0light",
         {{F, caps}, {F, caps | shift}, {F, shift}, {F, caps | shift}}},
        // Right Alt: Alt on "us", AltGr on Greek; the layout changing under a held key leaves nothing stuck.
        {"AltGr",
         "0+ralt 0+c 0-c L1 0+c 0-ralt 0+ralt 0-c L0 0+c 0-ralt 0-c",
         {{F, alt}, {D, alt}, {U, alt}, {D, alt}, {F, 0}, {U, 0}, {D, 0}, {U, 0}},
         {},
         "us,gr"},
        {"Caps, 2 keyboards", "0+caps 0-caps 1+caps 1-caps", {{F, caps}, {F, 0}}, {}, "gr,us"},
        {"nocaps", "0+caps 1+lctrl 0-caps 1-lctrl", {{F, ctrl}, {F, 0}}, {}, "gr,us ctrl:nocaps"},
        {"caps:ctrl_modifier", "L1 0+caps 0-caps", {{F, ctrl}, {F, 0}}, {}, "gr,us caps:ctrl_modifier"},
        {"swap_alt_win",
         "0+lalt 1+lmeta 0-lalt 1-lmeta",
         {{F, super}, {F, super | alt}, {F, alt}, {F, 0}},
         {},
         "gr,us altwin:swap_alt_win"},
        {"K, Ctrl held", "0+lctrl K 0-lctrl 1-lctrl 0+c", {{F, ctrl}, {F, 0}, {D, 0}}, "lctrl", "ru,us"},
        // Ctrl's release, unknown to the new state, is one more key.
        {"K, held unknown", "0+lctrl K 0-lctrl 0+c", {{F, ctrl}, {F, 0}, {U, 0}, {D, 0}}, {}, "ru,us"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        auto access = std::make_shared<FakeEvdevDeviceAccess>();
        Stream streams[2];
        std::vector<Delivered> delivered;
        EvdevEventTap tap(access, keyboardEventMask, &record, &delivered);
        ASSERT_TRUE(tap.addDevice(streams[0].path()) && tap.addDevice(streams[1].path()));
        int layout = 0;
        auto seat = std::make_shared<SeatKeymap>();
        seat->set(row.keymap.isNull() ? nullptr
                                      : XkbKeymap::fromNames(row.keymap.section(u' ', 0, 0).toLatin1(),
                                                             row.keymap.section(u' ', 1).toLatin1()));
        tap.followKeymap(seat, [&layout] { return layout; });
        if (!row.heldAfterDrop.isNull()) {
            access->heldKeys.emplace();
            for (const QString& key : row.heldAfterDrop.split(u' '))
                access->heldKeys->set(keys.value(key));
        }
        tap.scheduleOnMainLoop();
        tap.setEnabled(true);
        play(row.script, streams, tap, layout, *seat);
        EXPECT_EQ(delivered, row.expected);
    }
}

// Each modifier key, left and right, with its trigger alone on: the engine behind the observer selects
// English while it is held, and nothing for the other modifiers; by the fixed table and by the seat's keymap.
TEST(EvdevEventTapTest, EachModifierKeyWithItsTriggerAlone) {
    const std::pair<QString, std::array<uint16_t, 2>> triggers[] = {
        {Constants::useControlKey, {KEY_LEFTCTRL, KEY_RIGHTCTRL}},
        {Constants::useOptionKey, {KEY_LEFTALT, KEY_RIGHTALT}},
        {Constants::useCommandKey, {KEY_LEFTMETA, KEY_RIGHTMETA}},
        {Constants::useShiftKey, {KEY_LEFTSHIFT, KEY_RIGHTSHIFT}}};
    SettingsStore::setStandard(std::make_shared<InMemorySettingsStore>());
    configureDefaultSettings();
    FakePlatform fakes;
    fakes.sources->setSources({{"ru", "Russian"}, {"us", "English (US)"}});
    fakes.sources->setCurrentIndex(0);
    bool shuttingDown = false;
    SwitchingEngine engine(shuttingDown, nullptr);
    for (const QByteArray keymap : {"", "us"}) {
        Stream stream;
        EvdevEventTap tap(std::make_shared<FakeEvdevDeviceAccess>(), keyboardEventMask,
                          &SwitchingEngine::eventTapCallback, &engine);
        auto seat = std::make_shared<SeatKeymap>();
        seat->set(keymap.isEmpty() ? nullptr : XkbKeymap::fromNames(keymap, ""));
        tap.followKeymap(seat, [] { return 0; });
        ASSERT_TRUE(tap.addDevice(stream.path()));
        tap.scheduleOnMainLoop(), tap.setEnabled(true);
        for (const auto& [setting, unused] : triggers) {
            for (const auto& trigger : triggers)
                SettingsStore::standard().setBool(trigger.first, trigger.first == setting);
            for (const auto& [owner, codes] : triggers)
                for (const uint16_t code : codes) {
                    stream.write(EV_KEY, code, 1);
                    const int held = fakes.sources->currentIndex();
                    stream.write(EV_KEY, code, 0);
                    EXPECT_TRUE(held == (owner == setting) && fakes.sources->currentIndex() == 0)
                        << keymap.data() << code;
                }
        }
    }
    SettingsStore::setStandard(nullptr);
}

// A keyboard that appears later in the watched folder is read from then on; a device that is no keyboard is
// not.
TEST(EvdevHotPlugTest, KeyboardPluggedInLaterIsRead) {
    QTemporaryDir dir;
    auto access = std::make_shared<FakeEvdevDeviceAccess>();
    access->isKeyboardPath = [](const QString& path) { return !path.endsWith(QLatin1String("event0")); };
    const auto plug = [&](const char* name) { // a fifo read and written: no end of stream
        const QByteArray path = QFile::encodeName(dir.filePath(QString::fromLatin1(name)));
        return mkfifo(path.constData(), 0600) == 0 ? ::open(path.constData(), O_RDWR | O_CLOEXEC) : -1;
    };
    access->heldKeys.emplace();
    access->heldKeys->set(KEY_RIGHTCTRL); // held as Velmora starts, on a keyboard it finds then
    const int mouse = plug("event0"), first = plug("event2");
    std::vector<Delivered> delivered;
    EvdevEventTap tap(
        access, keyboardEventMask, &record, &delivered,
        [&] { return EvdevKeyboards::discover(*access, dir.path()); }, dir.path());
    tap.scheduleOnMainLoop();
    tap.setEnabled(true);
    access->heldKeys->reset().set(KEY_RIGHTALT); // held on the keyboard plugged in
    const int keyboard = plug("event1");
    EXPECT_TRUE(test::waitUntil([&] { return tap.deviceCount() == 2; }));
    input_event press[2]{{{}, EV_KEY, KEY_LEFTMETA, 1}, {{}, EV_SYN, SYN_REPORT, 0}};
    ASSERT_EQ(::write(keyboard, press, sizeof press), ssize_t(sizeof press));
    EXPECT_TRUE(test::waitUntil([&] { return delivered.size() == 2; }));
    EXPECT_EQ(delivered, (std::vector<Delivered>{{F, ctrl | alt}, {F, ctrl | alt | super}}));
    ::close(mouse), ::close(first), ::close(keyboard);
}

} // namespace
