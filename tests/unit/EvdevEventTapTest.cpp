#include "platform/evdev/EvdevEventTap.h"
#include "fakes/FakeEvdevDeviceAccess.h"
#include "fakes/FakeTextInputSources.h"
#include "platform/Platform.h"
#include "platform/evdev/EvdevEventTapFactory.h"
#include "platform/evdev/EvdevKeyboards.h"
#include "settings/Constants.h"
#include "settings/InMemorySettingsStore.h"
#include "settings/SettingsStore.h"
#include "support/CapturedOutput.h"
#include "support/WaitUntil.h"
#include "switching/SwitchingEngine.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/input.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmora;

namespace {

constexpr uint64_t ctrl = ModifierFlag::control;
constexpr uint64_t alt = ModifierFlag::option;
constexpr uint64_t shift = ModifierFlag::shift;
constexpr uint64_t caps = ModifierFlag::capsLock;
constexpr uint32_t flagsChanged = EventType::flagsChanged;
constexpr uint32_t down = EventType::keyDown;
constexpr uint32_t up = EventType::keyUp;

// A keyboard as a pipe carrying struct input_event, opened by path as the
// observer opens a device.
struct Stream {
    int fds[2] = {-1, -1};
    Stream() { EXPECT_EQ(pipe2(fds, O_CLOEXEC), 0); }
    ~Stream() {
        ::close(fds[0]);
        closeWriter();
    }
    QString path() const { return QStringLiteral("/proc/self/fd/%1").arg(fds[0]); }
    // A report follows every event, except between a drop and the report
    // that ends it, as the kernel writes them.
    bool dropping = false;
    void write(uint16_t type, uint16_t code, int32_t value) {
        input_event events[2]{};
        events[0].type = type, events[0].code = code, events[0].value = value;
        events[1].type = EV_SYN, events[1].code = SYN_REPORT;
        if (type == EV_SYN)
            dropping = code == SYN_DROPPED;
        const size_t count = (type == EV_SYN || dropping) ? 1 : 2;
        ASSERT_EQ(::write(fds[1], events, count * sizeof(input_event)), ssize_t(count * sizeof(input_event)));
    }
    void closeWriter() {
        if (fds[1] >= 0)
            ::close(std::exchange(fds[1], -1));
    }
};

struct Delivered {
    uint32_t type;
    uint64_t flags;
    uint32_t keycode;
    bool operator==(const Delivered& o) const { return type == o.type && flags == o.flags; }
};

std::ostream& operator<<(std::ostream& out, const Delivered& d) {
    return out << d.type << "/0x" << std::hex << d.flags;
}

KeyboardEvent* record(uint32_t type, KeyboardEvent* event, void* userInfo) {
    static_cast<std::vector<Delivered>*>(userInfo)->push_back({type, event->flags, event->keycode});
    return event;
}

// One step: device, event type, code, value; a type of 0 closes the device.
struct Step {
    int device;
    uint16_t type;
    uint16_t code;
    int32_t value;
};
constexpr uint16_t closeDevice = 0xFFFF;

struct Case {
    const char* name;
    std::vector<Step> steps;
    std::optional<std::vector<unsigned>> heldAfterDrop;
    std::vector<Delivered> expected;
};

class EvdevEventTapTest : public ::testing::TestWithParam<Case> {};

TEST_P(EvdevEventTapTest, DeliversTheEngineEvents) {
    const Case& c = GetParam();
    auto access = std::make_shared<FakeEvdevDeviceAccess>();
    Stream streams[2];
    std::vector<Delivered> delivered;
    EvdevEventTap tap(access, keyboardEventMask, &record, &delivered);
    ASSERT_TRUE(tap.addDevice(streams[0].path()) && tap.addDevice(streams[1].path()));
    if (c.heldAfterDrop) {
        access->heldKeys.emplace();
        for (unsigned code : *c.heldAfterDrop)
            access->heldKeys->set(code);
    }
    tap.scheduleOnMainLoop();
    tap.setEnabled(true);
    test::CapturedOutput output;
    for (const Step& step : c.steps) {
        if (step.type == closeDevice)
            streams[step.device].closeWriter();
        else
            streams[step.device].write(step.type, step.code, step.value);
        test::settle(20);
    }
    EXPECT_TRUE(test::waitUntil([&] { return delivered.size() >= c.expected.size(); }));
    test::settle();
    EXPECT_EQ(delivered, c.expected);
    for (const Delivered& d : delivered) {
        if (d.type != flagsChanged) {
            EXPECT_EQ(d.keycode, 0u) << "a key's code was passed on";
        }
    }
    const bool closes =
        std::any_of(c.steps.begin(), c.steps.end(), [](const Step& s) { return s.type == closeDevice; });
    EXPECT_EQ(output.linesStartingWith(QStringLiteral("⌨️ Keyboard device closed: ")),
              closes ? QStringList{QStringLiteral("⌨️ Keyboard device closed: ") + streams[0].path()}
                     : QStringList{});
}

INSTANTIATE_TEST_SUITE_P(
    Streams, EvdevEventTapTest,
    ::testing::Values(Case{"ModifierOnOneDeviceKeyOnTheOther",
                           {{0, EV_KEY, KEY_LEFTCTRL, 1},
                            {1, EV_KEY, KEY_C, 1},
                            {1, EV_KEY, KEY_C, 0},
                            {1, EV_KEY, KEY_RIGHTCTRL, 1},
                            {0, EV_KEY, KEY_LEFTCTRL, 0},
                            {1, EV_KEY, KEY_RIGHTCTRL, 0}},
                           std::nullopt,
                           {{flagsChanged, ctrl, 0}, {down, ctrl, 0}, {up, ctrl, 0}, {flagsChanged, 0, 0}}},
                      Case{"RepeatIsIgnored",
                           {{0, EV_KEY, KEY_LEFTALT, 1},
                            {0, EV_KEY, KEY_LEFTALT, 2},
                            {0, EV_KEY, KEY_V, 1},
                            {0, EV_KEY, KEY_V, 2},
                            {0, EV_KEY, KEY_V, 2},
                            {0, EV_KEY, KEY_V, 0}},
                           std::nullopt,
                           {{flagsChanged, alt, 0}, {down, alt, 0}, {up, alt, 0}}},
                      Case{"DropReadsTheHeldKeysAgain",
                           {{0, EV_KEY, KEY_LEFTCTRL, 1},
                            {0, EV_SYN, SYN_DROPPED, 0},
                            {0, EV_KEY, KEY_LEFTCTRL, 0},
                            {0, EV_KEY, KEY_C, 1},
                            {0, EV_SYN, SYN_REPORT, 0},
                            {0, EV_KEY, KEY_C, 0}},
                           std::vector<unsigned>{KEY_LEFTALT, KEY_C},
                           {{flagsChanged, ctrl, 0}, {flagsChanged, alt, 0}, {up, alt, 0}}},
                      Case{"ClosedDeviceReleasesItsModifiers",
                           {{0, EV_KEY, KEY_LEFTSHIFT, 1},
                            {1, EV_KEY, KEY_LEFTCTRL, 1},
                            {0, closeDevice, 0, 0},
                            {1, EV_KEY, KEY_C, 1}},
                           std::nullopt,
                           {{flagsChanged, shift, 0},
                            {flagsChanged, shift | ctrl, 0},
                            {flagsChanged, ctrl, 0},
                            {down, ctrl, 0}}},
                      Case{"CapsLockIsALockNotATrigger",
                           {{0, EV_KEY, KEY_CAPSLOCK, 1},
                            {0, EV_KEY, KEY_CAPSLOCK, 0},
                            {1, EV_KEY, KEY_LEFTSHIFT, 1},
                            {0, EV_KEY, KEY_CAPSLOCK, 1},
                            {0, EV_KEY, KEY_CAPSLOCK, 0},
                            {0, EV_LED, LED_CAPSL, 1}},
                           std::nullopt,
                           {{flagsChanged, caps, 0},
                            {flagsChanged, caps | shift, 0},
                            {flagsChanged, shift, 0},
                            {flagsChanged, caps | shift, 0}}}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// Keyboards are found by their answers to the capability questions, and one
// that appears later in the watched folder is read from then on.
TEST(EvdevHotPlugTest, KeyboardPluggedInLaterIsRead) {
    QTemporaryDir dir;
    auto access = std::make_shared<FakeEvdevDeviceAccess>();
    access->isKeyboardPath = [](const QString& path) { return !path.endsWith(QLatin1String("event0")); };
    auto plug = [&](const char* name) {
        const QByteArray path = QFile::encodeName(dir.filePath(QString::fromLatin1(name)));
        EXPECT_EQ(mkfifo(path.constData(), 0600), 0);
        return ::open(path.constData(), O_RDWR | O_CLOEXEC); // a writer, so no end of stream
    };
    const int mouse = plug("event0"), first = plug("event1");
    std::vector<Delivered> delivered;
    EvdevEventTap tap(
        access, keyboardEventMask, &record, &delivered,
        [&] { return EvdevKeyboards::discover(*access, dir.path()); }, dir.path());
    EXPECT_EQ(tap.deviceCount(), 1);
    tap.scheduleOnMainLoop();
    tap.setEnabled(true);
    test::CapturedOutput output;
    const int second = plug("event2");
    EXPECT_TRUE(test::waitUntil([&] { return tap.deviceCount() == 2; }));
    EXPECT_EQ(output.lines(),
              QStringList{QStringLiteral("⌨️ Keyboard device added: ") + dir.filePath("event2")});
    input_event press[2]{{{}, EV_KEY, KEY_LEFTMETA, 1}, {{}, EV_SYN, SYN_REPORT, 0}};
    ASSERT_EQ(::write(second, press, sizeof press), ssize_t(sizeof press));
    EXPECT_TRUE(test::waitUntil([&] { return !delivered.empty(); }));
    EXPECT_EQ(delivered, (std::vector<Delivered>{{flagsChanged, ModifierFlag::command, 0}}));
    for (int fd : {mouse, first, second})
        ::close(fd);
}

// A typing session through the whole switching path, traced in debug mode:
// no line may carry a typed key's code, kernel or X numbering.
TEST(EvdevPrivacyTest, TypingLeavesNoKeyCodeInTheTrace) {
    auto store = std::make_shared<InMemorySettingsStore>();
    SettingsStore::setStandard(store);
    configureDefaultSettings();
    store->setBool(Constants::enableDebugMode, true);
    store->setBool(Constants::enableUsageStats, true);
    auto sources = std::make_shared<FakeTextInputSources>();
    sources->setSources({{QStringLiteral("ru"), QStringLiteral("Russian")},
                         {QStringLiteral("us"), QStringLiteral("English (US)")}});
    sources->setCurrentIndex(0);
    Stream keyboard;
    qputenv("VELMORA_INPUT_DEVICES", keyboard.path().toUtf8());
    Platform platform;
    platform.inputSources = sources;
    platform.eventTaps = std::make_shared<EvdevEventTapFactory>(std::make_shared<FakeEvdevDeviceAccess>());
    Platform::install(platform);
    test::CapturedOutput output;
    {
        const bool shuttingDown = false;
        SwitchingEngine engine(shuttingDown);
        engine.createEventTap();
        ASSERT_TRUE(engine.eventTap);
        const std::vector<uint16_t> typed{KEY_P, KEY_R, KEY_I, KEY_V, KEY_Y};
        for (uint16_t key : typed)
            keyboard.write(EV_KEY, key, 1), keyboard.write(EV_KEY, key, 0);
        keyboard.write(EV_KEY, KEY_LEFTCTRL, 1), keyboard.write(EV_KEY, KEY_Y, 1);
        keyboard.write(EV_KEY, KEY_Y, 0), keyboard.write(EV_KEY, KEY_LEFTCTRL, 0);
        keyboard.closeWriter();
        EXPECT_TRUE(test::waitUntil(
            [&] { return !output.linesStartingWith(QStringLiteral("⌨️ Keyboard")).isEmpty(); }));
        EXPECT_EQ(sources->copyCurrentKeyboardInputSource()->identifier, QStringLiteral("ru"));
        EXPECT_GE(output.lines().size(), 3) << "the session was not traced";
        for (QString line : output.lines()) {
            line.remove(QRegularExpression(QStringLiteral(R"(\[[^\]]*\])"))); // time, file:line
            for (uint16_t key : typed)
                for (int code : {int(key), key + 8})
                    EXPECT_FALSE(line.contains(QRegularExpression(QStringLiteral("\\b%1\\b").arg(code))))
                        << qPrintable(line);
        }
    }
    qunsetenv("VELMORA_INPUT_DEVICES");
    Platform::install({});
    SettingsStore::setStandard(nullptr);
}

} // namespace
