#include "support/LocalHttpServer.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <sys/socket.h>

namespace velmora::test {

namespace {

QByteArray reasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

// A close with a zero linger time sends RST instead of FIN: the peer sees a
// reset, not an orderly end.
void resetConnection(QTcpSocket* socket) {
    const linger immediate{1, 0};
    ::setsockopt(static_cast<int>(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &immediate,
                 sizeof immediate);
    socket->abort();
}

} // namespace

QByteArray LocalHttpServer::Request::header(const QByteArray& name) const {
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

LocalHttpServer::LocalHttpServer() {
    connect(&server_, &QTcpServer::newConnection, this, &LocalHttpServer::accept);
}

LocalHttpServer::~LocalHttpServer() = default;

bool LocalHttpServer::start() {
    return server_.listen(QHostAddress::LocalHost, 0);
}

QUrl LocalHttpServer::url(const QString& path) const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path));
}

void LocalHttpServer::answer(const QByteArray& path, ScriptedAnswer scripted) {
    answers_.insert(path, scripted);
}

int LocalHttpServer::requestCount(const QByteArray& path) const {
    int count = 0;
    for (const Request& request : requests_)
        count += request.path == path ? 1 : 0;
    return count;
}

void LocalHttpServer::accept() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        socket->setParent(this);
        pending_.insert(socket, {});
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            pending_.remove(socket);
            socket->deleteLater();
        });
    }
}

void LocalHttpServer::readRequest(QTcpSocket* socket) {
    auto found = pending_.find(socket);
    if (found == pending_.end())
        return;
    found.value() += socket->readAll();
    const qsizetype end = found.value().indexOf("\r\n\r\n");
    if (end < 0)
        return;
    const QList<QByteArray> lines = found.value().left(end).split('\n');
    pending_.erase(found);

    Request request;
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    request.method = requestLine.value(0);
    request.path = requestLine.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            request.headers.append({lines[i].left(colon).trimmed(), lines[i].mid(colon + 1).trimmed()});
    }
    requests_.append(request);

    ScriptedAnswer notFound{404, "text/html", "<html><body><h1>404 Not Found</h1></body></html>"};
    respond(socket, answers_.value(request.path, notFound));
}

void LocalHttpServer::respond(QTcpSocket* socket, const ScriptedAnswer& scripted) {
    if (scripted.neverAnswer)
        return;
    QByteArray head =
        "HTTP/1.1 " + QByteArray::number(scripted.status) + ' ' + reasonPhrase(scripted.status) + "\r\n";
    head += "Content-Type: " + scripted.contentType + "\r\n";
    head += "Content-Length: " + QByteArray::number(scripted.body.size()) + "\r\n";
    head += "Connection: close\r\n\r\n";
    socket->write(head);

    if (scripted.resetAfterBodyBytes >= 0) {
        socket->write(scripted.body.left(scripted.resetAfterBodyBytes));
        socket->flush();
        // Give the client a moment to take in what was sent before the reset.
        QPointer<QTcpSocket> guarded(socket);
        QTimer::singleShot(100, this, [guarded] {
            if (guarded)
                resetConnection(guarded);
        });
        return;
    }
    if (scripted.chunkSize > 0) {
        sendChunks(socket, scripted.body, scripted.chunkSize, scripted.chunkIntervalMs);
        return;
    }
    socket->write(scripted.body);
    socket->disconnectFromHost();
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
