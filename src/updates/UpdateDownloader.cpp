#include "updates/UpdateDownloader.h"

#include "updates/UpdateTransport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryFile>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace velmora {

// What one running download has written and why it was cut short.
struct UpdateDownloader::Transfer {
    // Set before the downloader aborts a reply itself, so that the
    // cancellation is not mistaken for a transport failure.
    bool abortedOnPurpose = false;
    qint64 bodyBytes = 0;
    qint64 maximumSize = 0;
    // Taken as the body arrives, so checking the package reads nothing again.
    QCryptographicHash digest{QCryptographicHash::Sha256};
    std::optional<Error> stopError;

    // Appends a piece of the body to `file`; false, with stopError set, when
    // the body grows too large or cannot be written.
    bool append(QFileDevice& file, const QByteArray& chunk);
    void stop(QNetworkReply* reply, const Error& error) {
        stopError = error;
        stop(reply);
    }
    // Ends the reply; stopError, if any, is already set.
    void stop(QNetworkReply* reply) {
        abortedOnPurpose = true;
        reply->abort();
    }
};

namespace {

constexpr qint64 readBufferSize = 256 * 1024;

const QString installationDomain = QStringLiteral("UpdateInstallation");

Error unknownFolder() {
    return Error{installationDomain, 1, QStringLiteral("The download folder could not be determined.")};
}

Error fileError(const QFileDevice& file) {
    return Error{installationDomain, static_cast<int>(file.error()), file.errorString()};
}

std::filesystem::path nativePath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

std::unique_ptr<QTemporaryFile> createPartialFile(const QString& folder, std::optional<Error>& error) {
    if (folder.isEmpty()) {
        error = unknownFolder();
        return nullptr;
    }
    if (!QDir().mkpath(folder)) {
        error = Error{installationDomain, 2,
                      QStringLiteral("The download folder %1 could not be created.").arg(folder)};
        return nullptr;
    }
    auto file = std::make_unique<QTemporaryFile>(
        QDir(folder).filePath(UpdateDownloader::fileName() + QStringLiteral(".XXXXXX.part")));
    if (!file->open()) {
        error = fileError(*file);
        return nullptr;
    }
    // Readable by the package installer, which may run as another user.
    file->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                         QFileDevice::ReadOther);
    return file;
}

Error tooLarge(qint64 maximumSize) {
    return Error{installationDomain, 3,
                 QStringLiteral("The package is larger than %1 bytes.").arg(maximumSize)};
}

} // namespace

bool UpdateDownloader::Transfer::append(QFileDevice& file, const QByteArray& chunk) {
    bodyBytes += chunk.size();
    if (bodyBytes > maximumSize) {
        stopError = tooLarge(maximumSize);
        return false;
    }
    digest.addData(chunk);
    if (file.write(chunk) != chunk.size()) {
        stopError = fileError(file);
        return false;
    }
    return true;
}

UpdateDownloader::UpdateDownloader(QObject* context) : context_(context) {}

UpdateDownloader::~UpdateDownloader() = default;

std::optional<Error> UpdateDownloader::start(QNetworkAccessManager& session, const QUrl& url,
                                             const QString& folder, std::chrono::milliseconds timeout,
                                             qint64 maximumSize, Progress progress, Finished finished) {
    std::optional<Error> error;
    partial_ = createPartialFile(folder, error);
    if (!partial_)
        return error;

    QNetworkReply* reply = UpdateTransport::get(session, url, timeout);
    // Unbounded, a fast server fills the reply's buffer with hundreds of
    // megabytes, then hashed and written in one go: seconds without switching.
    reply->setReadBufferSize(readBufferSize);
    task_ = reply;
    auto transfer = std::make_shared<Transfer>();
    transfer->maximumSize = maximumSize;
    QTemporaryFile* file = partial_.get();
    const auto answeredWithSuccess = [reply] {
        return UpdateTransport::isSuccessStatus(
            reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt());
    };
    // A larger announced body is refused before a byte of it is written.
    QObject::connect(reply, &QNetworkReply::metaDataChanged, context_,
                     [reply, transfer, answeredWithSuccess] {
                         const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
                         if (!transfer->abortedOnPurpose && answeredWithSuccess() && length.isValid() &&
                             length.toLongLong() > transfer->maximumSize)
                             transfer->stop(reply, tooLarge(transfer->maximumSize));
                     });
    QObject::connect(reply, &QNetworkReply::readyRead, context_,
                     [reply, transfer, file, answeredWithSuccess] {
                         if (transfer->abortedOnPurpose)
                             return;
                         // Any other answer is not the package: it is not written, and not waited for.
                         if (!answeredWithSuccess() || !transfer->append(*file, reply->readAll()))
                             transfer->stop(reply);
                     });
    QObject::connect(reply, &QNetworkReply::downloadProgress, context_,
                     [progress, answeredWithSuccess](qint64 received, qint64 total) {
                         if (total > 0 && answeredWithSuccess())
                             progress(
                                 std::min(1.0, static_cast<double>(received) / static_cast<double>(total)));
                     });
    QObject::connect(reply, &QNetworkReply::finished, context_, [this, reply, transfer, progress, finished] {
        finish(reply, transfer, progress, finished);
    });
    return std::nullopt;
}

void UpdateDownloader::finish(QNetworkReply* reply, const std::shared_ptr<Transfer>& transfer,
                              const Progress& progress, const Finished& finished) {
    Result result{.localFile = std::nullopt,
                  .sha256 = {},
                  .response = UpdateTransport::responseOf(*reply),
                  .error = transfer->stopError
                               ? transfer->stopError
                               : UpdateTransport::transportError(*reply, transfer->abortedOnPurpose)};
    const bool answered = !result.error && !transfer->abortedOnPurpose && result.response &&
                          UpdateTransport::isSuccessStatus(result.response->statusCode);
    if (answered && partial_) {
        const QByteArray rest = reply->isOpen() ? reply->readAll() : QByteArray();
        if (!transfer->append(*partial_, rest))
            result.error = transfer->stopError;
        else if (!partial_->flush())
            result.error = fileError(*partial_);
        else
            result.error = UpdateTransport::truncationOf(*reply, transfer->bodyBytes);
        if (!result.error) {
            partial_->close();
            result.localFile = partial_->fileName();
            result.sha256 = transfer->digest.result().toHex();
            progress(1.0);
        }
    }
    if (!result.localFile)
        partial_.reset();
    reply->deleteLater();
    finished(result);
}

std::optional<Error> UpdateDownloader::moveIntoPlace(const QString& from, const QString& folder,
                                                     QString& destination) {
    // A body that cannot be placed is of no use in the user's folder.
    if (folder.isEmpty()) {
        partial_.reset();
        return unknownFolder();
    }
    destination = QDir(folder).filePath(fileName());
    std::error_code renameError;
    std::filesystem::rename(nativePath(from), nativePath(destination), renameError);
    if (renameError) {
        partial_.reset();
        return Error{QStringLiteral("POSIX"), renameError.value(),
                     QString::fromLocal8Bit(renameError.message())};
    }
    if (partial_ && partial_->fileName() == from)
        partial_->setAutoRemove(false);
    partial_.reset();
    return std::nullopt;
}

void UpdateDownloader::discard() {
    partial_.reset();
}

} // namespace velmora
