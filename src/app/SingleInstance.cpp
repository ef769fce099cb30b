#include "app/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace {

constexpr int handoverTimeoutMs = 3000;
const QByteArray reopenMessage = "reopen\n";

} // namespace

SingleInstance::SingleInstance(const QString& runtimeDirectory)
    : socketPath_(QDir(runtimeDirectory).filePath(QStringLiteral("velmora.socket"))),
      lock_(QDir(runtimeDirectory).filePath(QStringLiteral("velmora.lock"))) {
    // A lock whose owner died (crash, kill -9) is taken over at once.
    lock_.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
    if (server_)
        server_->close();
}

QString SingleInstance::defaultRuntimeDirectory() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::temp().filePath(QStringLiteral("velmora-%1").arg(::getuid())) : runtime;
}

std::optional<QString> SingleInstance::runtimeDirectoryProblem(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return QStringLiteral("the folder %1 cannot be created: %2")
            .arg(folder, QString::fromLocal8Bit(strerror(errno)));
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return QStringLiteral("%1 is not a folder").arg(folder);
    if (info.st_uid != ::getuid())
        return QStringLiteral("the folder %1 belongs to another user").arg(folder);
    if ((info.st_mode & 077) != 0)
        return QStringLiteral("the folder %1 is open to other users").arg(folder);
    return std::nullopt;
}

bool SingleInstance::claim() {
    if (!lock_.tryLock(0)) {
        reopenDelivered_ = sendReopen();
        return false;
    }
    // We hold the lock, so a socket file left behind is stale.
    QLocalServer::removeServer(socketPath_);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(socketPath_))
        return true; // still the one instance, only not reachable for reopen
    connect(server_.get(), &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    return true;
}

bool SingleInstance::sendReopen() {
    // The running instance may be starting up and not listening yet.
    QDeadlineTimer deadline(handoverTimeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(socketPath_);
        if (socket.waitForConnected(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())))) {
            socket.write(reopenMessage);
            const bool written =
                socket.waitForBytesWritten(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())));
            socket.disconnectFromServer();
            return written;
        }
        QThread::msleep(50);
    }
    return false;
}

void SingleInstance::acceptConnections() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                if (socket->readLine() == reopenMessage && reopenHandler_)
                    reopenHandler_();
            }
        });
    }
}

} // namespace velmora
