#include "app/VelmoraApplication.h"

#include "app/AppDelegate.h"
#include "app/PlatformFactory.h"
#include "app/QtPlatformChoice.h"
#include "app/SingleInstance.h"
#include "app/TerminationSignals.h"
#include "base/ConsoleOutput.h"
#include "settings/Constants.h"
#include "settings/NotificationCenter.h"
#include "ui/SystemTranslations.h"

#include <QApplication>
#include <QTimer>

namespace velmora {

int VelmoraApplication::run(int argc, char* argv[]) {
    const QtPlatformChoice platform = QtPlatformChoice::choose(QProcessEnvironment::systemEnvironment(),
                                                               QtPlatformChoice::installedPlugins());
    if (platform.platforms.isEmpty()) {
        ConsoleOutput::writeLine(QStringLiteral("❌ ") + platform.problem);
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", platform.platforms.toUtf8());

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Velmora"));
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("app.velmora.Velmora"));
    // A tray utility lives on after its last window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    SystemTranslations::install();

    const QString runtime = SingleInstance::defaultRuntimeDirectory();
    if (const std::optional<QString> problem = SingleInstance::runtimeDirectoryProblem(runtime)) {
        ConsoleOutput::writeLine(QStringLiteral("❌ Velmora cannot start: ") + *problem);
        return 1;
    }
    SingleInstance instance(runtime);
    if (!instance.claim()) {
        ConsoleOutput::writeLine(
            instance.reopenDelivered()
                ? QStringLiteral("👋 Velmora is already running; asked it to reopen")
                : QStringLiteral("⚠️ Velmora is already running but did not answer"));
        return 0;
    }

    Platform::install(PlatformFactory::makeSystemPlatform([] {
        // The backend that lost it has said why, in its one ❌ line.
        ConsoleOutput::writeLine(QStringLiteral("👋 The display went away: Velmora stops"));
        QCoreApplication::exit(1);
    }));

    int status = 0;
    {
        AppDelegate delegate;
        instance.setReopenHandler(
            [&delegate] { delegate.applicationShouldHandleReopen(delegate.hasVisibleWindows()); });
        QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, [&delegate] {
            NotificationCenter::defaultCenter().post(Constants::applicationWillTerminateNotification);
            delegate.applicationWillTerminate();
        });
        // A logout or kill ends the program the way Quit does.
        TerminationSignals signals([](int) { QCoreApplication::quit(); });

        // Start-up runs inside the event loop, so a quit during a modal alert
        // is not lost.
        QTimer::singleShot(0, &delegate, &AppDelegate::applicationDidFinishLaunching);
        status = app.exec();
    }
    // Services holding display connections go before the application object.
    Platform::install({});
    return status;
}

} // namespace velmora
