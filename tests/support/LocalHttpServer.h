#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

namespace velmora::test {

// How the server answers one path.
struct ScriptedAnswer {
    int status = 200;
    QByteArray contentType = "application/json";
    QByteArray body{};
    // Reads the request and never answers.
    bool neverAnswer = false;
    // Sends the headers (announcing the whole body) and this many body bytes,
    // then resets the connection. Negative: the whole body is sent.
    qsizetype resetAfterBodyBytes = -1;
    // Sends the body in pieces of this size, one every chunkIntervalMs; zero:
    // all at once.
    qsizetype chunkSize = 0;
    int chunkIntervalMs = 0;
};

// A small HTTP/1.1 server on 127.0.0.1 for tests: each path answers as
// scripted, every request is recorded, every connection is closed after one
// answer. Runs on the thread's event loop.
class LocalHttpServer final : public QObject {
public:
    struct Request {
        QByteArray method;
        QByteArray path;
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray header(const QByteArray& name) const;
    };

    LocalHttpServer();
    ~LocalHttpServer() override;

    // Listens on a free port of 127.0.0.1.
    bool start();
    QUrl url(const QString& path) const;
    // Paths without an answer get 404 with an HTML page.
    void answer(const QByteArray& path, ScriptedAnswer scripted);

    const QList<Request>& requests() const { return requests_; }
    int requestCount(const QByteArray& path) const;

private:
    void accept();
    void readRequest(QTcpSocket* socket);
    void respond(QTcpSocket* socket, const ScriptedAnswer& scripted);
    void sendChunks(QTcpSocket* socket, QByteArray remaining, qsizetype chunkSize, int intervalMs);

    QTcpServer server_;
    QHash<QByteArray, ScriptedAnswer> answers_;
    QHash<QTcpSocket*, QByteArray> pending_;
    QList<Request> requests_;
};

} // namespace velmora::test
