#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

namespace velmora::test {

// How the server answers one path.
struct ScriptedAnswer {
    enum class Cut { stall, close, endEarly };
    int status = 200;
    QByteArray contentType = "application/json";
    QByteArray body{};
    // Sends the body in pieces of this size, one every chunkIntervalMs; zero: all at once.
    qsizetype chunkSize = 0;
    int chunkIntervalMs = 0;
    // Announces the whole body but sends only this many bytes, then holds the
    // connection silent (stall), closes it (close), or ends the body there in
    // good order, as chunked (endEarly). Negative: no cut.
    qsizetype cutAfter = -1;
    Cut cut = Cut::close;
    // Sent as the Location header, for a redirect.
    QByteArray location{};
};

// A small HTTP/1.1 server on 127.0.0.1 for tests: each path answers as
// scripted (404 with an HTML page if not), every request is recorded, every
// connection is closed after one answer. Runs on the thread's event loop.
class LocalHttpServer final : public QObject {
public:
    struct Request {
        QByteArray method;
        QByteArray path;
    };

    LocalHttpServer();
    // Listens on a free port of 127.0.0.1.
    bool start();
    QUrl url(const QString& path) const;
    void answer(const QByteArray& path, ScriptedAnswer scripted) { answers_.insert(path, scripted); }
    const QList<Request>& requests() const { return requests_; }
    int requestCount(const QByteArray& path) const;

private:
    void readRequest(QTcpSocket* socket);
    void respond(QTcpSocket* socket, const ScriptedAnswer& scripted);
    void sendChunks(QTcpSocket* socket, QByteArray remaining, qsizetype chunkSize, int intervalMs);

    QTcpServer server_;
    QHash<QByteArray, ScriptedAnswer> answers_;
    QHash<QTcpSocket*, QByteArray> pending_;
    QList<Request> requests_;
};

} // namespace velmora::test
