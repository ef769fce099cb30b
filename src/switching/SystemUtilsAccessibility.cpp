#include "base/ConsoleOutput.h"
#include "diagnostics/Logger.h"
#include "switching/SystemUtils.h"
#include "platform/Platform.h"
#include "base/ApplicationIdentity.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace velmora {

namespace {
bool askTrust() {
    AccessibilityTrust* trust = Platform::current().accessibility.get();
    return trust != nullptr && trust->isProcessTrusted();
}
} // namespace

bool SystemUtils::checkAccessibilityPermissions() {
    const bool trusted = askTrust();
    ConsoleOutput::writeLine(QStringLiteral("🔐 Accessibility Permission: ") +
                             (trusted ? QStringLiteral("✅ Granted") : QStringLiteral("❌ Denied")));
    return trusted;
}

void SystemUtils::requestAccessibilityPermissions() {
    // The desktop has no prompt to show; the request only reports the answer.
    const bool trusted = askTrust();
    ConsoleOutput::writeLine(QStringLiteral("🔐 Accessibility permissions requested, trusted: ") +
                             QLatin1String(trusted ? "true" : "false"));
    Logger::trackEvent(QStringLiteral("accessibility_permission_granted"), {{QStringLiteral("granted"), trusted}});
}

QString SystemUtils::accessibilityHelpAddress() {
    // The page ships with Velmora; next to a build in the source tree, or
    // installed with the documentation. Otherwise the web site has it.
    const QString appDir = QCoreApplication::applicationDirPath();
    const QStringList candidates = {
        QDir(appDir).filePath(QStringLiteral("../docs/keyboard-access.md")),
        QDir(appDir).filePath(QStringLiteral("../share/doc/velmora/keyboard-access.md")),
    };
    for (const QString& path : candidates)
        if (QFileInfo::exists(path))
            return QUrl::fromLocalFile(QFileInfo(path).canonicalFilePath()).toString();
    return QStringLiteral("https://%1/help/keyboard-access").arg(ApplicationIdentity::websiteHost());
}

void SystemUtils::openAccessibilitySettings() {
    const QUrl url(accessibilityHelpAddress(), QUrl::StrictMode);
    if (!url.isValid())
        return;
    if (Workspace* workspace = Platform::current().workspace.get())
        workspace->openURL(url);
    ConsoleOutput::writeLine(QStringLiteral("🔧 Opening Accessibility Settings"));
}

} // namespace velmora
