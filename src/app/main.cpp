#include "app/PlatformFactory.h"
#include "app/VelmoraApplication.h"
#include "base/ConsoleOutput.h"
#include "switching/SystemUtils.h"
#include "platform/Platform.h"
#include "platform/linux/DesktopEntries.h"
#include "platform/x11/X11FocusedApplication.h"
#include "settings/DefaultsCommand.h"
#include "settings/QSettingsStore.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

using namespace velmora;

namespace {

QString describe(const InputSource& source) {
    return QStringLiteral("%1: %2")
        .arg(source.identifier.value_or(QStringLiteral("(no identifier)")),
             source.localizedName.value_or(QStringLiteral("Unknown")));
}

// Prints the layouts of the session's keyboard in order, marking the current
// one and the one a trigger press selects.
int listInputSources() {
    Platform::install(PlatformFactory::makeSystemPlatform());
    TextInputSources& sources = *Platform::current().inputSources;
    const std::optional<QList<InputSourceRef>> list = sources.createInputSourceList();
    if (!list) {
        ConsoleOutput::writeLine(QStringLiteral("❌ Could not get input source list"));
        return 1;
    }
    const InputSourceRef current = sources.copyCurrentKeyboardInputSource();
    ConsoleOutput::writeLine(QStringLiteral("⌨️ Input sources: %1").arg(list->size()));
    const QStringList shortcutIdentifiers = SystemUtils::shortcutLayoutIdentifiers();
    bool shortcutLayoutFound = false;
    for (const InputSourceRef& source : *list) {
        QStringList marks;
        if (current && source->handle == current->handle)
            marks.append(QStringLiteral("current"));
        // A press selects the first match in the system's order.
        if (!shortcutLayoutFound && source->identifier && shortcutIdentifiers.contains(*source->identifier)) {
            shortcutLayoutFound = true;
            marks.append(QStringLiteral("for shortcuts"));
        }
        QString line = QStringLiteral("   ") + describe(*source);
        if (!marks.isEmpty())
            line += QStringLiteral(" [%1]").arg(marks.join(QStringLiteral(", ")));
        ConsoleOutput::writeLine(line);
    }
    return 0;
}

// Prints the identifiers excludedApplications takes: the installed desktop
// entries and, on an X display, the applications of the open windows.
int listApplications() {
    const QList<DesktopEntry> installed = DesktopEntries::installed();
    ConsoleOutput::writeLine(QStringLiteral("📦 Installed applications: %1").arg(installed.size()));
    for (const DesktopEntry& entry : installed)
        ConsoleOutput::writeLine(QStringLiteral("   %1: %2").arg(entry.identifier, entry.name));
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return 0;
    const QList<QPair<QString, QString>> open = X11FocusedApplication().openApplications();
    ConsoleOutput::writeLine(QStringLiteral("🪟 Open windows: %1").arg(open.size()));
    for (const auto& [identifier, title] : open)
        ConsoleOutput::writeLine(QStringLiteral("   %1: %2").arg(identifier, title));
    return 0;
}

// "velmora defaults …" edits the settings file the running program watches.
int runDefaults(const QStringList& arguments) {
    QSettingsStore store;
    DefaultsCommand command(
        store, [](const QString& line) { std::fprintf(stdout, "%s\n", qPrintable(line)); },
        [](const QString& line) { std::fprintf(stderr, "%s\n", qPrintable(line)); });
    const int status = command.run(arguments);
    store.sync();
    // The store has said why; the change would end with this process.
    return status == 0 && !store.canWrite() ? 1 : status;
}

} // namespace

int main(int argc, char* argv[]) {
    // Without options Velmora is the tray application, which needs its own
    // QApplication; everything else is a console command.
    if (argc == 1)
        return VelmoraApplication::run(argc, argv);

    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Velmora"));
    QCoreApplication::setApplicationName(QStringLiteral("Velmora"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));

    const QStringList arguments = QCoreApplication::arguments();
    // The defaults words are passed through untouched: "-bool" is a value
    // type there, not an option of velmora.
    if (arguments.value(1) == QLatin1String("defaults"))
        return runDefaults(arguments.mid(2));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Selects an English keyboard layout while Ctrl, Alt or Super is held.\n"
                       "Without options, Velmora runs in the system tray.\n\n") +
        DefaultsCommand::usage());
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption listOption(
        QStringLiteral("list-input-sources"),
        QStringLiteral("Print the keyboard layouts of the session (X11, or Wayland with sway, KDE Plasma "
                       "or GNOME) in order, marking the current one and the one selected for shortcuts."));
    parser.addOption(listOption);
    const QCommandLineOption applicationsOption(
        QStringLiteral("list-applications"),
        QStringLiteral("Print the identifiers that excludedApplications takes, each with its name: the "
                       "installed applications and, on X11, those of the open windows."));
    parser.addOption(applicationsOption);
    parser.process(app);
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "velmora: unknown command '%s'\n", qPrintable(parser.positionalArguments().first()));
        std::fprintf(stderr, "%s\n", qPrintable(parser.helpText()));
        return 2;
    }
    if (parser.isSet(listOption))
        return listInputSources();
    if (parser.isSet(applicationsOption))
        return listApplications();
    return VelmoraApplication::run(argc, argv);
}
