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

void SystemUtils::openURL(const QString& address) {
    const QUrl url(address, QUrl::StrictMode);
    if (address.isEmpty() || !url.isValid() || url.scheme().isEmpty()) {
        ConsoleOutput::writeLine(QStringLiteral("❌ Invalid URL: ") + address);
        return;
    }
    if (Workspace* workspace = Platform::current().workspace.get())
        workspace->openURL(url);
    ConsoleOutput::writeLine(QStringLiteral("🔗 Opened URL: ") + address);
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
