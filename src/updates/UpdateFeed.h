#pragma once

#include "base/Error.h"
#include "base/HttpExchange.h"

#include <QByteArray>
#include <QUrl>

#include <chrono>
#include <functional>
#include <optional>

class QNetworkAccessManager;
class QObject;

namespace velmora::UpdateFeed {

// One read of the update feed: a plain GET, never from a cache, whose body is
// cut off past AppVersion::maximumFeedSize so that AppVersion::decode refuses
// it without the rest ever being held in memory.

struct Answer {
    // Absent after a transport failure.
    std::optional<QByteArray> data;
    std::optional<HttpResponseRecord> response;
    std::optional<Error> error;
};

// Starts the request on `session`; `finished` runs once, when the reply ends,
// unless `context` is destroyed first.
void fetch(QNetworkAccessManager& session, const QUrl& url, std::chrono::milliseconds timeout,
           QObject* context, std::function<void(const Answer&)> finished);

} // namespace velmora::UpdateFeed
