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

void QtWorkspace::launchOpener(const QString& filePath, OpenerFinished finished) {
    auto* process = new QProcess;
    process->setProgram(opener_);
    process->setArguments({filePath});
    // The handler it starts inherits these: nothing of ours may close under
    // it, so its input is empty, its output dropped and its complaints go to
    // our standard error, where xdg-open says why it failed.
    process->setStandardInputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->setStandardOutputFile(QProcess::nullDevice());
    const auto report = [process, finished](const std::optional<Error>& failure) {
        process->disconnect();
        process->deleteLater();
        finished(failure);
    };
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, report](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart)
                             report(Error{QStringLiteral("QProcess"), error,
                                          QStringLiteral("%1 could not be started: %2")
                                              .arg(process->program(), process->errorString())});
                     });
    QObject::connect(
        process, &QProcess::finished, process, [process, report](int exitCode, QProcess::ExitStatus status) {
            if (status == QProcess::NormalExit && exitCode == 0)
                report(std::nullopt);
            else if (status == QProcess::NormalExit)
                report(
                    Error{QStringLiteral("QProcess"), exitCode,
                          QStringLiteral("%1 exited with status %2").arg(process->program()).arg(exitCode)});
            else
                report(Error{QStringLiteral("QProcess"), QProcess::Crashed,
                             QStringLiteral("%1 ended abnormally").arg(process->program())});
        });
    // Started from the event loop, so that no outcome arrives before this returns.
    QMetaObject::invokeMethod(
        process, [process] { process->start(); }, Qt::QueuedConnection);
}

} // namespace velmora
