#pragma once

#include "base/Error.h"
#include "base/HttpExchange.h"

#include <QPointer>
#include <QString>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;
class QObject;
class QTemporaryFile;

namespace velmora {

// Fetches a package into a temporary file beside its destination and moves
// it over the destination in one rename, so that an earlier package survives
// any failure and there is never a half-written one.
class UpdateDownloader {
public:
    struct Result {
        // The complete body, present only when the server answered with a 2xx status.
        std::optional<QString> localFile;
        // The hex SHA-256 digest of that body, taken as it arrived.
        QByteArray sha256;
        std::optional<HttpResponseRecord> response;
        std::optional<Error> error;
    };
    using Progress = std::function<void(double fraction)>;
    using Finished = std::function<void(const Result&)>;

    // The file every download becomes, whatever the address was called.
    static QString fileName() { return QStringLiteral("Velmora_Update.deb"); }

    // Connections live as long as `context`, which must outlive the replies
    // it is given.
    explicit UpdateDownloader(QObject* context);
    ~UpdateDownloader();

    // Starts the GET of `url` on `session`, its body going to a temporary
    // file in `folder`. Returns why nothing was started when the file cannot
    // be made. A body announced or grown beyond `maximumSize` bytes is
    // refused at once. `progress` follows a 2xx body and ends at 1.0;
    // `finished` runs once when the reply ends.
    std::optional<Error> start(QNetworkAccessManager& session, const QUrl& url, const QString& folder,
                               std::chrono::milliseconds timeout, qint64 maximumSize, Progress progress,
                               Finished finished);

    // Renames `from` to fileName() in `folder`, replacing an earlier package,
    // and sets `destination`. A downloaded body that cannot be placed is
    // removed.
    std::optional<Error> moveIntoPlace(const QString& from, const QString& folder, QString& destination);

    // Removes the downloaded body instead of placing it.
    void discard();

private:
    struct Transfer;
    void finish(QNetworkReply* reply, const std::shared_ptr<Transfer>& transfer, const Progress& progress,
                const Finished& finished);

    QObject* context_;
    // The most recent download; replaced by the next, never cancelled.
    QPointer<QNetworkReply> task_;
    // The body of the running or just finished download, beside its
    // destination; removed unless it was moved into place.
    std::unique_ptr<QTemporaryFile> partial_;
};

} // namespace velmora
