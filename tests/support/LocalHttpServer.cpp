#include "support/LocalHttpServer.h"

#include <QTcpSocket>
#include <QTimer>

namespace velmora::test {

LocalHttpServer::LocalHttpServer() {
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { respond(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

void LocalHttpServer::respond(QTcpSocket* socket) {
    // The request stays in the socket until its head is complete; a second one is not read.
    if (socket->property("answered").toBool() || !socket->peek(1 << 16).contains("\r\n\r\n"))
        return;
    socket->setProperty("answered", true);
    requests_.append(socket->readAll().split(' ').value(1));
    const ScriptedAnswer scripted =
        answers_.value(requests_.last(), {404, "text/html", "<html><h1>Not Found</h1></html>"});
    QByteArray head = "HTTP/1.1 " + QByteArray::number(scripted.status) +
                      " Status\r\nContent-Type: " + scripted.contentType + "\r\nConnection: close\r\n";
    if (!scripted.endless)
        head += "Content-Length: " +
                QByteArray::number(scripted.announcedLength >= 0 ? scripted.announcedLength
                                                                 : scripted.body.size()) +
                "\r\n";
    if (!scripted.location.isEmpty())
        head += "Location: " + scripted.location + "\r\n";
    const QByteArray part = scripted.body.left(scripted.cutAfter);
    if (scripted.cutAfter >= 0 && scripted.cut == ScriptedAnswer::Cut::endEarly) {
        socket->write(head + "Transfer-Encoding: chunked\r\n\r\n" + QByteArray::number(part.size(), 16) +
                      "\r\n" + part + "\r\n0\r\n\r\n");
        socket->disconnectFromHost();
    } else if (scripted.endless) {
        socket->write(head + "\r\n");
        auto* feeder = new QTimer(socket);
        connect(feeder, &QTimer::timeout, socket, [socket, body = scripted.body] {
            if (socket->bytesToWrite() < body.size())
                socket->write(body);
        });
        feeder->start(1);
    } else if (scripted.cutAfter >= 0) {
        socket->write(head + "\r\n" + part);
    } else {
        socket->write(head + "\r\n");
        // Timers on the socket: they end with it, and equal ones fire in order.
        const qsizetype size = scripted.chunkSize > 0 ? scripted.chunkSize : scripted.body.size();
        int at = 0;
        for (qsizetype from = 0; from < scripted.body.size(); from += size, at += scripted.chunkIntervalMs)
            QTimer::singleShot(at, socket,
                               [socket, piece = scripted.body.mid(from, size)] { socket->write(piece); });
        QTimer::singleShot(at, socket, &QTcpSocket::disconnectFromHost);
    }
}

} // namespace velmora::test
