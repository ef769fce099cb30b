#include "switching/SystemUtils.h"

#include "base/ConsoleOutput.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QTimer>
#include <QUrl>

namespace velmora {

bool SystemUtils::isNetworkAvailable() {
    NetworkReachability* reachability = Platform::current().reachability.get();
    const std::optional<uint32_t> flags = reachability ? reachability->defaultRouteFlags() : std::nullopt;
    if (!flags)
        return false;
    const uint32_t mask = ReachabilityFlag::reachable | ReachabilityFlag::connectionRequired;
    const bool available = (*flags & mask) == ReachabilityFlag::reachable;
    ConsoleOutput::writeLine(QStringLiteral("🌐 Network available: ") + QLatin1String(available ? "true" : "false"));
    return available;
}

void SystemUtils::openURL(const QString& address, std::function<void()> failed) {
    const QUrl url(address, QUrl::StrictMode);
    if (address.isEmpty() || !url.isValid() || url.scheme().isEmpty()) {
        ConsoleOutput::writeLine(QStringLiteral("❌ Invalid URL: ") + address);
        return;
    }
    Workspace* workspace = Platform::current().workspace.get();
    if (workspace == nullptr) {
        ConsoleOutput::writeLine(QStringLiteral("❌ Could not open %1: no desktop to open it").arg(address));
        if (failed)
            failed();
        return;
    }
    // The opener's exit status tells whether a handler took the address,
    // which handing it over and forgetting it never would.
    workspace->launchOpener(address, [address, failed](const std::optional<Error>& failure) {
        if (!failure) {
            ConsoleOutput::writeLine(QStringLiteral("🔗 Opened URL: ") + address);
            return;
        }
        ConsoleOutput::writeLine(
            QStringLiteral("❌ Could not open %1: %2").arg(address, failure->localizedDescription));
        if (failed)
            failed();
    });
}

void SystemUtils::showAlert(const QString& title, const QString& message, AlertStyle style) {
    const auto show = [title, message, style] {
        if (AlertPresenter* alerts = Platform::current().alerts.get())
            alerts->runModal({title, message, style, {QStringLiteral("OK")}});
        ConsoleOutput::writeLine(QStringLiteral("🚨 Alert shown: ") + title);
    };
    // Always later on the main thread, also when called there.
    QCoreApplication* app = QCoreApplication::instance();
    if (app != nullptr)
        QMetaObject::invokeMethod(app, show, Qt::QueuedConnection);
    else
        show();
}

void SystemUtils::logSystemInfo() {
    SystemInformation* info = Platform::current().systemInformation.get();
    const QString unknown = QStringLiteral("Unknown");
    ConsoleOutput::writeLine(QStringLiteral("🔧 === SYSTEM INFO ==="));
    ConsoleOutput::writeLine(QStringLiteral("   Device Name: ") + (info ? info->hostName().value_or(unknown) : unknown));
    ConsoleOutput::writeLine(QStringLiteral("   Model: ") + (info ? info->hardwareModel().value_or(unknown) : unknown));
    ConsoleOutput::writeLine(QStringLiteral("   Bundle ID: ") + (info ? info->applicationId().value_or(unknown) : unknown));
    const bool network = isNetworkAvailable();
    ConsoleOutput::writeLine(QStringLiteral("   Network: ") + QLatin1String(network ? "true" : "false"));
    const bool trusted = checkAccessibilityPermissions();
    ConsoleOutput::writeLine(QStringLiteral("   Accessibility: ") + QLatin1String(trusted ? "true" : "false"));
    ConsoleOutput::writeLine(QStringLiteral("🔧 ==================="));
}

} // namespace velmora
