#include "updates/UpdateFeed.h"

#include "updates/AppVersion.h"
#include "updates/UpdateTransport.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

#include <memory>

namespace velmora::UpdateFeed {

namespace {

// What the reply has delivered so far, and whether it was cut short on
// purpose, which is then not a transport failure.
struct Reading {
    QByteArray body;
    bool abortedOnPurpose = false;
};

// Reads no more than one byte past the limit: enough to know it was passed.
void readUpToLimit(QNetworkReply& reply, Reading& reading) {
    reading.body += reply.read(AppVersion::maximumFeedSize + 1 - reading.body.size());
}

} // namespace

void fetch(QNetworkAccessManager& session, const QUrl& url, std::chrono::milliseconds timeout,
           QObject* context, std::function<void(const Answer&)> finished) {
    QNetworkReply* reply = UpdateTransport::get(session, url, timeout);
    // Bounds what Qt buffers between two reads, so the size limit bounds memory.
    reply->setReadBufferSize(64 * 1024);
    auto reading = std::make_shared<Reading>();
    QObject::connect(reply, &QNetworkReply::readyRead, context, [reply, reading] {
        readUpToLimit(*reply, *reading);
        if (reading->body.size() > AppVersion::maximumFeedSize && !reading->abortedOnPurpose) {
            reading->abortedOnPurpose = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, context, [reply, reading, finished] {
        if (!reading->abortedOnPurpose && reply->isOpen())
            readUpToLimit(*reply, *reading);
        Answer answer{.data = std::nullopt,
                      .response = UpdateTransport::responseOf(*reply),
                      .error = UpdateTransport::transportError(*reply, reading->abortedOnPurpose)};
        // A body over the limit was cut short on purpose; the decoder refuses it.
        const bool tooLarge = reading->body.size() > AppVersion::maximumFeedSize;
        if (!answer.error && !tooLarge)
            answer.error = UpdateTransport::truncationOf(*reply, reading->body.size());
        if (!answer.error)
            answer.data = reading->body;
        reply->deleteLater();
        finished(answer);
    });
}

} // namespace velmora::UpdateFeed
