#pragma once

#include "base/Error.h"
#include "base/HttpExchange.h"

#include <QNetworkRequest>
#include <QString>
#include <QUrl>

#include <chrono>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

namespace velmora::UpdateTransport {

// What the feed request and the download share: which addresses are fetched,
// how a request is made, and how a finished reply reads.

// Only TLS-protected addresses are fetched; plain http is allowed to this
// machine alone, where a test or a local mirror serves it.
std::optional<QUrl> acceptedAddress(const QString& text);

// A plain GET that never goes through a cache and fails after `timeout` of
// silence from the server.
QNetworkRequest request(const QUrl& url, std::chrono::milliseconds timeout);
// Starts that GET on `session`. A redirect is followed only to an address
// acceptedAddress() takes; any other ends the reply with transportError().
QNetworkReply* get(QNetworkAccessManager& session, const QUrl& url, std::chrono::milliseconds timeout);

bool isSuccessStatus(int status);
// The HTTP status, absent when the server never answered.
std::optional<HttpResponseRecord> responseOf(const QNetworkReply& reply);
// Why no answer arrived; an HTTP error status is an answer, not a failure,
// and so is a reply that `abortedOnPurpose` cut short.
std::optional<Error> transportError(const QNetworkReply& reply, bool abortedOnPurpose);
// Set when fewer (or more) bytes arrived than the server announced.
std::optional<Error> truncationOf(const QNetworkReply& reply, qint64 bodyBytes);

} // namespace velmora::UpdateTransport
