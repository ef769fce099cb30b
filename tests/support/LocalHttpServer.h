#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

namespace velmora::test {

struct ScriptedAnswer { // how the server answers one path
    enum class Cut { stall, endEarly };
    int status = 200;
    QByteArray contentType = "application/json";
    QByteArray body{};
    qsizetype chunkSize = 0; // pieces of this size, one every chunkIntervalMs; zero: all at once
    int chunkIntervalMs = 0;
    // Announces the whole body but sends only this many bytes, then holds the
    // connection silent (stall), or ends the body there in good order, as chunked (endEarly).
    qsizetype cutAfter = -1; // negative: no cut
    Cut cut = Cut::stall;
    QByteArray location{};       // the Location header, for a redirect
    qint64 announcedLength = -1; // the Content-Length told instead of the body's own
    bool endless = false;        // the body again and again, no length told, until the client leaves
};

// A small HTTP/1.1 server on 127.0.0.1 for tests: each path answers as
// scripted (404 with an HTML page if not), every request is recorded, every
// connection is closed after one answer. Runs on the thread's event loop.
class LocalHttpServer final : public QObject {
public:
    LocalHttpServer();
    bool start() { return server_.listen(QHostAddress::LocalHost, 0); } // on a free port
    QUrl url(const QString& path) const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path));
    }
    void answer(const QByteArray& path, ScriptedAnswer scripted) { answers_.insert(path, scripted); }
    // Requests for this path so far; for any path if empty.
    qsizetype requestCount(const QByteArray& path = {}) const {
        return path.isEmpty() ? requests_.size() : requests_.count(path);
    }

private:
    void respond(QTcpSocket* socket);

    QTcpServer server_;
    QHash<QByteArray, ScriptedAnswer> answers_;
    QList<QByteArray> requests_; // their paths
};

} // namespace velmora::test
