#include "updates/UpdateTransport.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>

namespace velmora::UpdateTransport {

namespace {

// Set on a reply whose redirect was refused, which then ends as cancelled.
const char* const refusedRedirect = "velmoraRefusedRedirect";

bool isLoopbackHost(const QString& host) {
    return host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
           QHostAddress(host).isLoopback();
}

// Qt reports an HTTP error status as a reply error; like any other answer it
// is a response, not a failure to get one.
bool isHttpStatusError(QNetworkReply::NetworkError code) {
    return (code >= QNetworkReply::ContentAccessDenied && code <= QNetworkReply::UnknownContentError) ||
           code == QNetworkReply::ProtocolInvalidOperationError ||
           (code >= QNetworkReply::InternalServerError && code <= QNetworkReply::UnknownServerError);
}

} // namespace

std::optional<QUrl> acceptedAddress(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    if (text.isEmpty() || !url.isValid() || url.host().isEmpty())
        return std::nullopt;
    const QString scheme = url.scheme().toLower();
    if (scheme == u"https" || (scheme == u"http" && isLoopbackHost(url.host())))
        return url;
    return std::nullopt;
}

QNetworkRequest request(const QUrl& url, std::chrono::milliseconds timeout) {
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setTransferTimeout(static_cast<int>(timeout.count()));
    return request;
}

QNetworkReply* get(QNetworkAccessManager& session, const QUrl& url, std::chrono::milliseconds timeout) {
    QNetworkRequest verified = request(url, timeout);
    verified.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                          QNetworkRequest::UserVerifiedRedirectPolicy);
    QNetworkReply* reply = session.get(verified);
    QObject::connect(reply, &QNetworkReply::redirected, reply, [reply](const QUrl& target) {
        if (acceptedAddress(reply->url().resolved(target).toString())) {
            Q_EMIT reply->redirectAllowed();
            return;
        }
        reply->setProperty(refusedRedirect, true);
        reply->abort();
    });
    return reply;
}

bool isSuccessStatus(int status) {
    return status >= 200 && status <= 299;
}

std::optional<HttpResponseRecord> responseOf(const QNetworkReply& reply) {
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return std::nullopt;
    return HttpResponseRecord{true, status.toInt()};
}

std::optional<Error> transportError(const QNetworkReply& reply, bool abortedOnPurpose) {
    const QNetworkReply::NetworkError code = reply.error();
    if (reply.property(refusedRedirect).toBool())
        return Error{QStringLiteral("QNetworkReply"), static_cast<int>(code),
                     QStringLiteral("The server redirected to an address that is not accepted.")};
    // Qt takes a redirect without a Location for one to an unknown protocol.
    const std::optional<HttpResponseRecord> response = responseOf(reply);
    if (response && response->statusCode / 100 == 3 && !reply.hasRawHeader("Location"))
        return Error{QStringLiteral("QNetworkReply"), static_cast<int>(code),
                     QStringLiteral("The server redirected (HTTP status %1) without saying where.")
                         .arg(response->statusCode)};
    if (code == QNetworkReply::NoError || (abortedOnPurpose && code == QNetworkReply::OperationCanceledError))
        return std::nullopt;
    if (response && isHttpStatusError(code))
        return std::nullopt;
    // The transfer timeout cancels the reply; nothing else here does.
    const bool timedOut =
        code == QNetworkReply::TimeoutError || code == QNetworkReply::OperationCanceledError;
    return Error{QStringLiteral("QNetworkReply"), static_cast<int>(code),
                 timedOut ? QStringLiteral("The request timed out.") : reply.errorString()};
}

// Qt can end a reply whose connection was reset as if it were complete;
// the announced length tells. A compressed body is counted after decoding,
// so only an uncompressed one can be checked.
std::optional<Error> truncationOf(const QNetworkReply& reply, qint64 bodyBytes) {
    const QVariant announced = reply.header(QNetworkRequest::ContentLengthHeader);
    const QByteArray encoding = reply.rawHeader("Content-Encoding").trimmed().toLower();
    if (!announced.isValid() || !(encoding.isEmpty() || encoding == "identity"))
        return std::nullopt;
    const qint64 expected = announced.toLongLong();
    if (bodyBytes == expected)
        return std::nullopt;
    return Error{QStringLiteral("QNetworkReply"), QNetworkReply::RemoteHostClosedError,
                 QStringLiteral("The connection closed after %1 of %2 bytes.").arg(bodyBytes).arg(expected)};
}

} // namespace velmora::UpdateTransport
