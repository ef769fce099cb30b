#include "base/ConsoleOutput.h"
#include "fakes/FakeKeyboardEventTap.h"
#include "fakes/FakeTextInputSources.h"
#include "platform/Platform.h"
#include "settings/Constants.h"
#include "settings/InMemorySettingsStore.h"
#include "settings/SettingsStore.h"
#include "switching/SwitchingEngine.h"

using namespace velmora;

namespace {

// Runs the switching engine over a scripted Russian/English keyboard and a
// scripted key sequence, printing what the engine decides.
int runDemo() {
    SettingsStore::setStandard(std::make_shared<InMemorySettingsStore>());
    configureDefaultSettings();
    SettingsStore::standard().setBool(Constants::enableDebugMode, true);
    SettingsStore::standard().setBool(Constants::enableUsageStats, true);

    auto sources = std::make_shared<FakeTextInputSources>();
    sources->setSources({{QStringLiteral("ru"), QStringLiteral("Russian")},
                         {QStringLiteral("us"), QStringLiteral("English (US)")}});
    sources->setCurrentIndex(0);
    auto taps = std::make_shared<FakeKeyboardEventTapFactory>();
    Platform demo;
    demo.inputSources = sources;
    demo.eventTaps = taps;
    Platform::install(std::move(demo));

    bool isShuttingDown = false;
    SwitchingEngine engine(isShuttingDown);
    engine.createEventTap();

    struct Step {
        const char* what;
        uint32_t type;
        uint64_t flags;
    };
    const Step script[] = {
        {"Ctrl down", EventType::flagsChanged, ModifierFlag::control},
        {"C down", EventType::keyDown, ModifierFlag::control},
        {"C up", EventType::keyUp, ModifierFlag::control},
        {"Ctrl up", EventType::flagsChanged, 0},
        {"Shift down (not a trigger)", EventType::flagsChanged, ModifierFlag::shift},
        {"Shift up", EventType::flagsChanged, 0},
    };
    for (const Step& step : script) {
        ConsoleOutput::writeLine(QStringLiteral("▶️ %1").arg(QLatin1String(step.what)));
        KeyboardEvent event{step.flags, 0};
        taps->send(step.type, &event);
        const InputSourceRef current = sources->copyCurrentKeyboardInputSource();
        ConsoleOutput::writeLine(QStringLiteral("   layout now: %1").arg(current ? *current->identifier : "none"));
    }
    isShuttingDown = true;
    engine.tearDownEventTap();
    return 0;
}

} // namespace

// velmora-demo: the switching decisions without a display or a real keyboard.
int main() { return runDemo(); }
