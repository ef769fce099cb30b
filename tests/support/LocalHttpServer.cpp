#include "support/LocalHttpServer.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

namespace velmora::test {

LocalHttpServer::LocalHttpServer() {
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            socket->setParent(this);
            pending_.insert(socket, {});
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                pending_.remove(socket);
                socket->deleteLater();
            });
        }
    });
}

bool LocalHttpServer::start() {
    return server_.listen(QHostAddress::LocalHost, 0);
}

QUrl LocalHttpServer::url(const QString& path) const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path));
}

int LocalHttpServer::requestCount(const QByteArray& path) const {
    return static_cast<int>(
        std::count_if(requests_.begin(), requests_.end(), [&](const Request& r) { return r.path == path; }));
}

void LocalHttpServer::readRequest(QTcpSocket* socket) {
    auto found = pending_.find(socket);
    if (found == pending_.end())
        return;
    found.value() += socket->readAll();
    const qsizetype end = found.value().indexOf("\r\n\r\n");
    if (end < 0)
        return;
    const QList<QByteArray> requestLine = found.value().left(found.value().indexOf('\r')).split(' ');
    pending_.erase(found);
    requests_.append({requestLine.value(0), requestLine.value(1)});
    const ScriptedAnswer notFound{404, "text/html", "<html><body><h1>404 Not Found</h1></body></html>"};
    respond(socket, answers_.value(requests_.last().path, notFound));
}

void LocalHttpServer::respond(QTcpSocket* socket, const ScriptedAnswer& scripted) {
    const bool endsEarly = scripted.cutAfter >= 0 && scripted.cut == ScriptedAnswer::Cut::endEarly;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(scripted.status) +
                      " Status\r\nContent-Type: " + scripted.contentType +
                      "\r\nContent-Length: " + QByteArray::number(scripted.body.size()) +
                      "\r\nConnection: close\r\n";
    if (!scripted.location.isEmpty())
        head += "Location: " + scripted.location + "\r\n";
    if (endsEarly) {
        const QByteArray part = scripted.body.left(scripted.cutAfter);
        socket->write(head + "Transfer-Encoding: chunked\r\n\r\n" + QByteArray::number(part.size(), 16) +
                      "\r\n" + part + "\r\n0\r\n\r\n");
        socket->disconnectFromHost();
        return;
    }
    socket->write(head + "\r\n");
    if (scripted.cutAfter >= 0) {
        socket->write(scripted.body.left(scripted.cutAfter));
        if (scripted.cut == ScriptedAnswer::Cut::close)
            socket->disconnectFromHost();
        return;
    }
    sendChunks(socket, scripted.body, scripted.chunkSize > 0 ? scripted.chunkSize : scripted.body.size(),
               scripted.chunkIntervalMs);
}

void LocalHttpServer::sendChunks(QTcpSocket* socket, QByteArray remaining, qsizetype chunkSize,
                                 int intervalMs) {
    socket->write(remaining.left(chunkSize));
    remaining.remove(0, std::min(chunkSize, remaining.size()));
    if (remaining.isEmpty()) {
        socket->disconnectFromHost();
        return;
    }
    QPointer<QTcpSocket> guarded(socket);
    QTimer::singleShot(intervalMs, this, [this, guarded, remaining, chunkSize, intervalMs] {
        if (guarded && guarded->state() == QAbstractSocket::ConnectedState)
            sendChunks(guarded, remaining, chunkSize, intervalMs);
    });
}

} // namespace velmora::test
