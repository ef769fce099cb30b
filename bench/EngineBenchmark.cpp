// Per-event cost of the switching engine for events that switch nothing: the
// path every ordinary key press and release takes inside the keyboard callback,
// alone and behind the Wayland observer's translation of evdev keys into flags
// (the fixed table, or the seat's keymap through xkbcommon); and the cost of
// one trace line to the caller; a trigger pressed and released in front of an
// excluded application, which switches nothing.
#include "base/ConsoleOutput.h"
#include "fakes/FakeFocusedApplication.h"
#include "fakes/FakeKeyboardEventTap.h"
#include "fakes/FakeTextInputSources.h"
#include "platform/Platform.h"
#include "platform/evdev/EvdevModifierKeys.h"
#include "platform/evdev/XkbModifiers.h"
#include "settings/Constants.h"
#include "settings/InMemorySettingsStore.h"
#include "settings/QSettingsStore.h"
#include "switching/SwitchingEngine.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <functional>
#include <linux/input-event-codes.h>
#include <thread>
#include <unistd.h>

using namespace velmora;

namespace {

// A fake keyboard with Russian (current) and English, installed as the platform.
std::pair<std::shared_ptr<FakeTextInputSources>, std::shared_ptr<FakeKeyboardEventTapFactory>>
installRussianAndEnglish() {
    auto sources = std::make_shared<FakeTextInputSources>();
    sources->setSources({{QStringLiteral("ru"), QStringLiteral("Russian")},
                         {QStringLiteral("us"), QStringLiteral("English (US)")}});
    sources->setCurrentIndex(0);
    auto taps = std::make_shared<FakeKeyboardEventTapFactory>();
    Platform platform;
    platform.inputSources = sources;
    platform.eventTaps = taps;
    Platform::install(platform);
    return {sources, taps};
}

// Ctrl pressed and released once per iteration, through the tap as the observer hands it over.
void pressAndReleaseCtrl(benchmark::State& state, FakeKeyboardEventTapFactory& taps) {
    KeyboardEvent press{ModifierFlag::control, 37};
    KeyboardEvent release{0, 37};
    for (auto _ : state) {
        benchmark::DoNotOptimize(taps.send(EventType::flagsChanged, &press));
        benchmark::DoNotOptimize(taps.send(EventType::flagsChanged, &release));
    }
    state.SetItemsProcessed(2 * state.iterations());
}

// Shift down, C down and up, Shift up, as the observer reads them from a keyboard, translated into
// flags and handed to the engine; the layout comes through a function, as the desktop's switcher gives it.
void translateAndRun(benchmark::State& state, FakeKeyboardEventTapFactory& taps, bool keymap) {
    const struct {
        unsigned code;
        bool pressed;
    } keys[] = {{KEY_LEFTSHIFT, true}, {KEY_C, true}, {KEY_C, false}, {KEY_LEFTSHIFT, false}};
    const std::function<int()> layout = [] { return 0; };
    XkbKeyState keyState(XkbKeymap::fromNames("gr,us", "ctrl:nocaps"));
    ModifierKeySet held = 0;
    bool capsLock = false;
    KeyboardEvent event;
    size_t i = 0;
    for (auto _ : state) {
        const auto& key = keys[i++ % 4];
        bool modifier = true;
        if (keymap) {
            modifier = keyState.update(key.code, key.pressed, key.pressed ? layout() : -1, capsLock);
            event.flags = keyState.flags();
        } else if (const ModifierKeySet bit = modifierKeyBit(key.code)) {
            held = key.pressed ? (held | bit) : (held & ~bit);
            event.flags = modifierFlagsFor(held, capsLock);
        } else {
            modifier = false;
        }
        const uint32_t type = modifier      ? EventType::flagsChanged
                              : key.pressed ? EventType::keyDown
                                            : EventType::keyUp;
        benchmark::DoNotOptimize(taps.send(type, &event));
    }
}

enum class Translation { none, table, keymap };

void runEngine(benchmark::State& state, std::shared_ptr<SettingsStore> store,
               Translation translation = Translation::none) {
    SettingsStore::setStandard(store);
    // Defaults are in place, as after start-up; no output is due on this path.
    for (const QString& key : {Constants::useCommandKey, Constants::useControlKey, Constants::useOptionKey,
                               Constants::switchToEnglish, Constants::restorePreviousLayout})
        store->setBool(key, true);
    store->setBool(Constants::useShiftKey, false);
    store->setBool(Constants::enableDebugMode, false);

    const auto [sources, taps] = installRussianAndEnglish();
    bool shuttingDown = false;
    SwitchingEngine engine(shuttingDown);
    engine.createEventTap();

    // A typed letter with Shift (not a trigger): down, up, and the modifier change.
    const uint32_t types[] = {EventType::keyDown, EventType::keyUp, EventType::flagsChanged};
    KeyboardEvent event{ModifierFlag::shift, 38};
    size_t i = 0;
    if (translation == Translation::none) {
        for (auto _ : state) {
            benchmark::DoNotOptimize(taps->send(types[i++ % 3], &event));
        }
    } else {
        translateAndRun(state, *taps, translation == Translation::keymap);
    }
    state.SetItemsProcessed(state.iterations());
    if (!sources->selections().isEmpty())
        state.SkipWithError("a non-switching event switched");
    Platform::install({});
    SettingsStore::setStandard(nullptr);
}

// A trigger press and its release: the switch, the restore and the check for
// a change made by someone else in between, with status lines discarded.
void BM_SwitchAndRestoreEvent_InMemoryStore(benchmark::State& state) {
    auto store = std::make_shared<InMemorySettingsStore>();
    SettingsStore::setStandard(store);
    configureDefaultSettings();
    ConsoleOutput::setSink([](std::string_view) {});
    const auto [sources, taps] = installRussianAndEnglish();
    bool shuttingDown = false;
    SwitchingEngine engine(shuttingDown);
    engine.createEventTap();
    pressAndReleaseCtrl(state, *taps);
    if (sources->currentIndex() != 0)
        state.SkipWithError("the release did not restore");
    ConsoleOutput::setSink({});
    Platform::install({});
    SettingsStore::setStandard(nullptr);
}
BENCHMARK(BM_SwitchAndRestoreEvent_InMemoryStore);

// Ctrl pressed and released in front of the last of ten excluded
// applications, with the real settings file behind the store.
void BM_TriggerInFrontOfExcluded_QSettingsStore(benchmark::State& state) {
    QTemporaryDir dir;
    SettingsStore::setStandard(
        std::make_shared<QSettingsStore>(dir.filePath(QStringLiteral("Velmora.conf"))));
    configureDefaultSettings();
    QStringList excluded;
    for (int i = 0; i < 10; ++i)
        excluded.append(QStringLiteral("org.example.Game%1").arg(i));
    SettingsStore::standard().setStringList(Constants::excludedApplications, excluded);
    const auto [sources, taps] = installRussianAndEnglish();
    auto focus = std::make_shared<FakeFocusedApplication>();
    focus->focus(QStringLiteral("ORG.EXAMPLE.GAME9"));
    Platform::current().focus = focus;
    bool shuttingDown = false;
    SwitchingEngine engine(shuttingDown);
    engine.createEventTap();
    pressAndReleaseCtrl(state, *taps);
    if (!sources->selections().isEmpty())
        state.SkipWithError("a press in front of an excluded application switched");
    Platform::install({});
    SettingsStore::setStandard(nullptr);
}
BENCHMARK(BM_TriggerInFrontOfExcluded_QSettingsStore);

void BM_NonSwitchingEvent_QSettingsStore(benchmark::State& state) {
    QTemporaryDir dir;
    runEngine(state, std::make_shared<QSettingsStore>(dir.filePath(QStringLiteral("Velmora.conf"))));
}
BENCHMARK(BM_NonSwitchingEvent_QSettingsStore);

void BM_NonSwitchingEvent_InMemoryStore(benchmark::State& state) {
    runEngine(state, std::make_shared<InMemorySettingsStore>());
}
BENCHMARK(BM_NonSwitchingEvent_InMemoryStore);

void BM_NonSwitchingEvent_FixedTableTranslation(benchmark::State& state) {
    runEngine(state, std::make_shared<InMemorySettingsStore>(), Translation::table);
}
BENCHMARK(BM_NonSwitchingEvent_FixedTableTranslation);

void BM_NonSwitchingEvent_KeymapTranslation(benchmark::State& state) {
    runEngine(state, std::make_shared<InMemorySettingsStore>(), Translation::keymap);
}
BENCHMARK(BM_NonSwitchingEvent_KeymapTranslation);

// What a trace line costs the caller: standard output read at once (/dev/null)
// or a pipe that nobody reads, where lines are counted and dropped.
void traceLines(benchmark::State& state, int target, int drainFrom = -1) {
    const int saved = ::dup(STDOUT_FILENO);
    ::dup2(target, STDOUT_FILENO);
    const QString line = QStringLiteral("⌨️ Switched to English layout 'English (US)', result: 0");
    for (auto _ : state)
        ConsoleOutput::writeLine(line);
    state.SetItemsProcessed(state.iterations());
    // The queued lines go where they were meant to before standard output is restored.
    std::thread drain([drainFrom] {
        char buffer[65536];
        while (drainFrom >= 0 && ::read(drainFrom, buffer, sizeof buffer) > 0) {
        }
    });
    ConsoleOutput::flush();
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    ::close(target);
    drain.join();
}

void BM_TraceLine_DevNull(benchmark::State& state) {
    traceLines(state, ::open("/dev/null", O_WRONLY));
}
BENCHMARK(BM_TraceLine_DevNull);

void BM_TraceLine_PipeNobodyReads(benchmark::State& state) {
    int fds[2];
    if (::pipe(fds) != 0)
        return state.SkipWithError("no pipe");
    traceLines(state, fds[1], fds[0]);
    ::close(fds[0]);
}
BENCHMARK(BM_TraceLine_PipeNobodyReads);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
