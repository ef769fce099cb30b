#include "app/VelmoraApplication.h"
#include "diagnostics/ConsoleOutput.h"
#include "diagnostics/SystemUtils.h"
#include "platform/Platform.h"
#include "platform/fake/FakeKeyboardEventTap.h"
#include "platform/fake/FakeTextInputSources.h"
#include "platform/x11/X11Platform.h"
#include "settings/Constants.h"
#include "settings/InMemorySettingsStore.h"
#include "settings/SettingsStore.h"
#include "switching/SwitchingEngine.h"

#include <QCoreApplication>

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

QString describe(const InputSource& source) {
    return QStringLiteral("%1: %2")
        .arg(source.identifier.value_or(QStringLiteral("(no identifier)")),
             source.localizedName.value_or(QStringLiteral("Unknown")));
}

// Prints the layouts of the X display in group order, marking the current one
// and those Velmora switches to.
int listInputSources() {
    Platform::install(X11Platform::create());
    TextInputSources& sources = *Platform::current().inputSources;
    const std::optional<QList<InputSourceRef>> list = sources.createInputSourceList();
    if (!list) {
        ConsoleOutput::writeLine(QStringLiteral("❌ Could not get input source list"));
        return 1;
    }
    const InputSourceRef current = sources.copyCurrentKeyboardInputSource();
    ConsoleOutput::writeLine(QStringLiteral("⌨️ Input sources: %1").arg(list->size()));
    for (const InputSourceRef& source : *list) {
        QStringList marks;
        if (current && source->handle == current->handle)
            marks.append(QStringLiteral("current"));
        if (source->identifier && SystemUtils::englishLayoutIdentifiers().contains(*source->identifier))
            marks.append(QStringLiteral("English"));
        QString line = QStringLiteral("   ") + describe(*source);
        if (!marks.isEmpty())
            line += QStringLiteral(" [%1]").arg(marks.join(QStringLiteral(", ")));
        ConsoleOutput::writeLine(line);
    }
    return 0;
}

void printUsage() {
    ConsoleOutput::writeLine(QStringLiteral("Usage: velmora [--demo | --list-input-sources]"));
    ConsoleOutput::writeLine(QStringLiteral("   (no option)            run Velmora in the tray, switching layouts while a trigger is held"));
    ConsoleOutput::writeLine(QStringLiteral("   --demo                 run the engine over a scripted keyboard, no display needed"));
    ConsoleOutput::writeLine(QStringLiteral("   --list-input-sources   print the X display's layouts in order"));
}

} // namespace

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (arguments.isEmpty())
        return VelmoraApplication::run(argc, argv);

    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Velmora"));
    QCoreApplication::setApplicationName(QStringLiteral("Velmora"));
    if (arguments == QStringList{QStringLiteral("--demo")})
        return runDemo();
    if (arguments == QStringList{QStringLiteral("--list-input-sources")})
        return listInputSources();
    printUsage();
    return arguments == QStringList{QStringLiteral("--help")} ? 0 : 2;
}
