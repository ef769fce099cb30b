#include "platform/qt/QtWorkspace.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>

namespace velmora {

namespace {
// Long enough for the bus to start a file manager that is not running yet.
constexpr int fileManagerActivationTimeoutMs = 10000;
} // namespace

QtWorkspace::QtWorkspace(QDBusConnection bus, QString opener)
    : bus_(std::move(bus)), opener_(std::move(opener)) {}

bool QtWorkspace::openURL(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

void QtWorkspace::revealFile(const QString& filePath) {
    const QFileInfo file(filePath);
    const QUrl folder = QUrl::fromLocalFile(file.absolutePath());
    if (!bus_.isConnected()) {
        QDesktopServices::openUrl(folder);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    // The items to select, and an empty startup id: no launch feedback to hand over.
    call << QStringList{QUrl::fromLocalFile(file.absoluteFilePath()).toString()} << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, fileManagerActivationTimeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [folder](QDBusPendingCallWatcher* finished) {
                         if (finished->isError())
                             QDesktopServices::openUrl(folder);
                         finished->deleteLater();
                     });
}

bool QtWorkspace::launchOpener(const QString& filePath) {
    return QProcess::startDetached(opener_, {filePath});
}

} // namespace velmora
