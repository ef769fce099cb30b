#include "updates/UpdateManager.h"

#include "diagnostics/Logger.h"
#include "localization/LocalizationKeys.h"
#include "localization/LocalizationManager.h"
#include "platform/Platform.h"
#include "base/ApplicationIdentity.h"
#include "settings/Constants.h"
#include "settings/NotificationCenter.h"
#include "settings/SettingsStore.h"
#include "updates/VersionOrder.h"

#include <QDir>
#include <QFileInfo>
#include <QHostAddress>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

namespace velmora {

// What one running request has read so far and why it was cut short.
struct UpdateManager::Transfer {
    QByteArray body;
    // Set before the manager aborts a reply itself, so that the cancellation
    // is not mistaken for a transport failure.
    bool abortedOnPurpose = false;
    qint64 bodyBytes = 0; // of a download, as written
    std::optional<Error> writeError;
};

namespace {

const QString installationDomain = QStringLiteral("UpdateInstallation");

bool isLoopbackHost(const QString& host) {
    return host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
           QHostAddress(host).isLoopback();
}

// Only TLS-protected addresses are fetched; plain http is allowed to this
// machine alone, where a test or a local mirror serves it.
std::optional<QUrl> acceptedAddress(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    if (text.isEmpty() || !url.isValid() || url.host().isEmpty())
        return std::nullopt;
    const QString scheme = url.scheme().toLower();
    if (scheme == u"https" || (scheme == u"http" && isLoopbackHost(url.host())))
        return url;
    return std::nullopt;
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

// Qt reports an HTTP error status as a reply error; like any other answer it
// is a response, not a failure to get one.
bool isHttpStatusError(QNetworkReply::NetworkError code) {
    return (code >= QNetworkReply::ContentAccessDenied && code <= QNetworkReply::UnknownContentError) ||
           code == QNetworkReply::ProtocolInvalidOperationError ||
           (code >= QNetworkReply::InternalServerError && code <= QNetworkReply::UnknownServerError);
}

std::optional<Error> transportError(const QNetworkReply& reply, bool abortedOnPurpose) {
    const QNetworkReply::NetworkError code = reply.error();
    if (code == QNetworkReply::NoError || (abortedOnPurpose && code == QNetworkReply::OperationCanceledError))
        return std::nullopt;
    if (responseOf(reply) && isHttpStatusError(code))
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

std::filesystem::path nativePath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

std::unique_ptr<QTemporaryFile> createPartialFile(const QString& folder, std::optional<Error>& error) {
    if (folder.isEmpty()) {
        error = Error{installationDomain, 1, QStringLiteral("The download folder could not be determined.")};
        return nullptr;
    }
    if (!QDir().mkpath(folder)) {
        error = Error{installationDomain, 2,
                      QStringLiteral("The download folder %1 could not be created.").arg(folder)};
        return nullptr;
    }
    auto file = std::make_unique<QTemporaryFile>(
        QDir(folder).filePath(UpdateManager::downloadFileName() + QStringLiteral(".XXXXXX.part")));
    if (!file->open()) {
        error = Error{installationDomain, static_cast<int>(file->error()), file->errorString()};
        return nullptr;
    }
    // Readable by the package installer, which may run as another user.
    file->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                         QFileDevice::ReadOther);
    return file;
}

// Whole days from `from` to `to` as a calendar counts them in the local time
// zone: the same clock time on the next day is one day, however many hours a
// daylight-saving change put between them.
qint64 wholeCalendarDays(const QDateTime& fromAnyZone, const QDateTime& toAnyZone) {
    const QDateTime from = fromAnyZone.toLocalTime();
    const QDateTime to = toAnyZone.toLocalTime();
    qint64 days = from.date().daysTo(to.date());
    if (days > 0 && from.addDays(days) > to)
        --days;
    else if (days < 0 && from.addDays(days) < to)
        ++days;
    return days;
}

} // namespace

UpdateManager::Dependencies UpdateManager::Dependencies::system() {
    const QString feedOverride = qEnvironmentVariable("VELMORA_UPDATE_FEED_URL");
    return {
        .settings = &SettingsStore::standard,
        .notificationCenter = &NotificationCenter::defaultCenter(),
        .localizedString =
            [](const QString& key) { return LocalizationManager::shared().localizedString(key); },
        .feedAddress = feedOverride.isEmpty()
                           ? QStringLiteral("https://%1/version.json").arg(ApplicationIdentity::websiteHost())
                           : feedOverride,
        .bundleVersion = &ApplicationIdentity::version,
        .downloadFolder =
            [] { return QStandardPaths::standardLocations(QStandardPaths::DownloadLocation).value(0); },
        .now = &QDateTime::currentDateTime,
    };
}

UpdateManager& UpdateManager::shared() {
    // Never deleted: the menu and the preferences may reach it during shutdown.
    static UpdateManager* const instance = new UpdateManager(Dependencies::system());
    return *instance;
}

UpdateManager::UpdateManager(Dependencies dependencies, QObject* parent)
    : QObject(parent), dependencies_(std::move(dependencies)) {}

UpdateManager::~UpdateManager() {
    // Replies die with the session; none may report to a half-destroyed manager.
    const QList<QNetworkReply*> replies = session_.findChildren<QNetworkReply*>();
    for (QNetworkReply* reply : replies)
        reply->disconnect(this);
}

QString UpdateManager::currentVersion() const {
    const QString version = dependencies_.bundleVersion();
    return version.isEmpty() ? QStringLiteral("1.0") : version;
}

void UpdateManager::checkForUpdates(bool automatic) {
    if (isCheckingForUpdates_)
        return;
    setCheckingForUpdates(true);
    Logger::trackEvent(QStringLiteral("update_check_started"));
    Logger::log(QStringLiteral("Starting update check"));

    const std::optional<QUrl> url = acceptedAddress(dependencies_.feedAddress);
    if (!url) {
        Logger::log(QStringLiteral("Invalid version check URL"));
        setCheckingForUpdates(false);
        return;
    }
    QNetworkRequest request(*url);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setTransferTimeout(static_cast<int>(dependencies_.feedTimeout.count()));
    QNetworkReply* reply = session_.get(request);
    // Bounds what Qt buffers between two reads, so the size limit bounds memory.
    reply->setReadBufferSize(64 * 1024);
    auto transfer = std::make_shared<Transfer>();
    connect(reply, &QNetworkReply::readyRead, this, [reply, transfer] {
        transfer->body += reply->read(AppVersion::maximumFeedSize + 1 - transfer->body.size());
        if (transfer->body.size() > AppVersion::maximumFeedSize && !transfer->abortedOnPurpose) {
            transfer->abortedOnPurpose = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, transfer, automatic] { feedFinished(reply, transfer, automatic); });
}

void UpdateManager::feedFinished(QNetworkReply* reply, const std::shared_ptr<Transfer>& transfer,
                                 bool automatic) {
    if (!transfer->abortedOnPurpose && reply->isOpen())
        transfer->body += reply->read(AppVersion::maximumFeedSize + 1 - transfer->body.size());
    std::optional<Error> error = transportError(*reply, transfer->abortedOnPurpose);
    // A body over the limit was cut short on purpose; the decoder refuses it.
    const bool tooLarge = transfer->body.size() > AppVersion::maximumFeedSize;
    if (!error && !tooLarge)
        error = truncationOf(*reply, transfer->body.size());
    const std::optional<HttpResponseRecord> response = responseOf(*reply);
    std::optional<QByteArray> data;
    if (!error)
        data = transfer->body;
    reply->deleteLater();
    // Handled from the event loop, as a fresh turn: the offer alert is modal.
    QMetaObject::invokeMethod(
        this,
        [this, data, response, error, automatic] {
            setCheckingForUpdates(false);
            handleUpdateResponse(data, response, error, automatic);
        },
        Qt::QueuedConnection);
}

void UpdateManager::handleUpdateResponse(const std::optional<QByteArray>& data,
                                         const std::optional<HttpResponseRecord>&,
                                         const std::optional<Error>& error, bool automatic) {
    if (error) {
        Logger::logError(*error);
        if (!automatic)
            showErrorAlert(QStringLiteral("Failed to check for updates: ") + error->localizedDescription);
        return;
    }
    if (!data) {
        Logger::log(QStringLiteral("No data received from update check"));
        if (!automatic)
            showErrorAlert(QStringLiteral("No response from update server"));
        return;
    }
    Error decodingError;
    const std::optional<AppVersion> record = AppVersion::decode(*data, &decodingError);
    if (!record) {
        Logger::logError(decodingError);
        if (!automatic)
            showErrorAlert(QStringLiteral("Failed to parse update information"));
        return;
    }
    Logger::log(QStringLiteral("Received version info: ") + record->version);

    // A check the user started offers even a version they skipped.
    if (isNewerVersion(record->version, !automatic)) {
        setUpdateAvailable(*record);
        Logger::trackEvent(QStringLiteral("update_available"),
                           {{QStringLiteral("new_version"), record->version},
                            {QStringLiteral("current_version"), currentVersion()}});
        dependencies_.notificationCenter->post(Constants::updateAvailableNotification,
                                               QVariant::fromValue(*record));
        if (!automatic)
            showUpdateAlert(*record);
    } else {
        Logger::log(QStringLiteral("No update available"));
        if (!automatic)
            showNoUpdatesAlert();
    }
    settings().setDate(Constants::lastUpdateCheck, dependencies_.now());
}

bool UpdateManager::isNewerVersion(const QString& version, bool ignoreSkipped) const {
    const QString current = currentVersion();
    const std::optional<QString> skipped = settings().stringForKey(Constants::skipUpdateVersion);
    if (skipped && !ignoreSkipped && *skipped == version)
        return false;
    return VersionOrder::isBefore(current, version);
}

bool UpdateManager::shouldCheckForUpdates() const {
    if (!settings().boolForKey(Constants::enableAutoUpdates))
        return false;
    const std::optional<QDateTime> last = settings().dateForKey(Constants::lastUpdateCheck);
    if (!last || !last->isValid())
        return true;
    const QDateTime now = dependencies_.now();
    if (!now.isValid())
        return false;
    return wholeCalendarDays(*last, now) >= 1;
}

void UpdateManager::skipVersion(const QString& version) {
    settings().setString(Constants::skipUpdateVersion, version);
    setUpdateAvailable(std::nullopt);
    Logger::log(QStringLiteral("Skipped version: ") + version);
}

int UpdateManager::runAlert(const QString& title, const QString& message, const QStringList& buttons,
                            int dismissResponse) {
    AlertPresenter* alerts = Platform::current().alerts.get();
    // Without a presenter no button is pressed, so nothing follows.
    return alerts != nullptr ? alerts->runModal({title, message, AlertStyle::warning, buttons, dismissResponse}) : 0;
}

void UpdateManager::showUpdateAlert(const AppVersion& version) {
    const int response =
        runAlert(localized(LocalizationKeys::updateAvailableTitle),
                 localized(LocalizationKeys::updateAvailableMessage)
                     .arg(version.name, currentVersion(), version.version),
                 {localized(LocalizationKeys::download), localized(LocalizationKeys::skipVersion),
                  localized(LocalizationKeys::remindLater)},
                 AlertResponse::thirdButton);
    if (response == AlertResponse::firstButton)
        downloadAndInstallUpdate(version);
    else if (response == AlertResponse::secondButton)
        skipVersion(version.version);
}

void UpdateManager::showErrorAlert(const QString& message) {
    runAlert(localized(LocalizationKeys::updateCheckFailedTitle), message,
             {localized(LocalizationKeys::okButton)});
}

void UpdateManager::showNoUpdatesAlert() {
    runAlert(localized(LocalizationKeys::noUpdatesTitle),
             localized(LocalizationKeys::noUpdatesMessage).arg(currentVersion()),
             {localized(LocalizationKeys::okButton)});
}

void UpdateManager::downloadAndInstallUpdate(const AppVersion& version) {
    if (isDownloading_)
        return;
    const std::optional<QUrl> url = acceptedAddress(version.url);
    if (!url) {
        showErrorAlert(QStringLiteral("Invalid download URL"));
        return;
    }
    setDownloading(true);
    setDownloadProgress(0.0);
    Logger::trackEvent(QStringLiteral("update_download_started"));
    Logger::log(QStringLiteral("Starting download of update: ") + version.version);

    // The body goes beside its destination and is moved over it only once
    // complete, so an earlier package survives any failure.
    std::optional<Error> fileError;
    partialDownload_ = createPartialFile(dependencies_.downloadFolder(), fileError);
    if (!partialDownload_) {
        setDownloading(false);
        handleDownloadCompletion(std::nullopt, std::nullopt, fileError);
        return;
    }

    QNetworkRequest request(*url);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setTransferTimeout(static_cast<int>(dependencies_.downloadTimeout.count()));
    QNetworkReply* reply = session_.get(request);
    downloadTask_ = reply;
    auto transfer = std::make_shared<Transfer>();
    QTemporaryFile* file = partialDownload_.get();
    const auto answeredWithSuccess = [reply] {
        return isSuccessStatus(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt());
    };
    connect(reply, &QNetworkReply::readyRead, this, [reply, transfer, file, answeredWithSuccess] {
        if (transfer->abortedOnPurpose)
            return;
        // Any other answer is not the package: it is not written, and not waited for.
        if (!answeredWithSuccess()) {
            transfer->abortedOnPurpose = true;
            reply->abort();
            return;
        }
        const QByteArray chunk = reply->readAll();
        transfer->bodyBytes += chunk.size();
        if (file->write(chunk) != chunk.size()) {
            transfer->writeError =
                Error{installationDomain, static_cast<int>(file->error()), file->errorString()};
            transfer->abortedOnPurpose = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::downloadProgress, this,
            [this, answeredWithSuccess](qint64 received, qint64 total) {
                if (total > 0 && answeredWithSuccess())
                    setDownloadProgress(
                        std::min(1.0, static_cast<double>(received) / static_cast<double>(total)));
            });
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, transfer] { downloadFinished(reply, transfer); });
}

void UpdateManager::downloadFinished(QNetworkReply* reply, const std::shared_ptr<Transfer>& transfer) {
    std::optional<Error> error =
        transfer->writeError ? transfer->writeError : transportError(*reply, transfer->abortedOnPurpose);
    const std::optional<HttpResponseRecord> response = responseOf(*reply);
    const bool answered =
        !error && !transfer->abortedOnPurpose && response && isSuccessStatus(response->statusCode);
    std::optional<QString> localFile;
    if (answered && partialDownload_) {
        const QByteArray rest = reply->isOpen() ? reply->readAll() : QByteArray();
        transfer->bodyBytes += rest.size();
        if (partialDownload_->write(rest) != rest.size() || !partialDownload_->flush())
            error = Error{installationDomain, static_cast<int>(partialDownload_->error()),
                          partialDownload_->errorString()};
        else
            error = truncationOf(*reply, transfer->bodyBytes);
        if (!error) {
            partialDownload_->close();
            localFile = partialDownload_->fileName();
            setDownloadProgress(1.0);
        }
    }
    if (!localFile)
        partialDownload_.reset();
    reply->deleteLater();
    QMetaObject::invokeMethod(
        this,
        [this, localFile, response, error] {
            setDownloading(false);
            handleDownloadCompletion(localFile, response, error);
        },
        Qt::QueuedConnection);
}

void UpdateManager::handleDownloadCompletion(const std::optional<QString>& localFile,
                                             const std::optional<HttpResponseRecord>& response,
                                             const std::optional<Error>& error) {
    if (error) {
        Logger::logError(*error);
        showErrorAlert(QStringLiteral("Download failed: ") + error->localizedDescription);
        return;
    }
    if (response && response->isHttp && !isSuccessStatus(response->statusCode)) {
        const Error statusError{QStringLiteral("HTTP"), response->statusCode,
                                QStringLiteral("HTTP status %1").arg(response->statusCode)};
        Logger::logError(statusError);
        showErrorAlert(QStringLiteral("Download failed: ") + statusError.localizedDescription);
        return;
    }
    if (!localFile) {
        showErrorAlert(QStringLiteral("Download failed: No file received"));
        return;
    }
    Logger::log(QStringLiteral("Download completed: ") + QUrl::fromLocalFile(*localFile).toString());
    installUpdate(*localFile);
}

void UpdateManager::installUpdate(const QString& from) {
    Logger::trackEvent(QStringLiteral("update_install_started"));
    Logger::log(QStringLiteral("Starting installation of update"));

    const auto fail = [this](const Error& error) {
        Logger::logError(error);
        showErrorAlert(QStringLiteral("Installation preparation failed: ") + error.localizedDescription);
        // A body that could not be placed is of no use in the user's folder.
        partialDownload_.reset();
    };
    const QString folder = dependencies_.downloadFolder();
    if (folder.isEmpty()) {
        fail(Error{installationDomain, 1, QStringLiteral("The download folder could not be determined.")});
        return;
    }
    const QString destination = QDir(folder).filePath(downloadFileName());
    // One rename replaces an earlier package: there is never a moment without
    // one, nor a half-written one.
    std::error_code renameError;
    std::filesystem::rename(nativePath(from), nativePath(destination), renameError);
    if (renameError) {
        fail(Error{QStringLiteral("POSIX"), renameError.value(),
                   QString::fromLocal8Bit(renameError.message())});
        return;
    }
    if (partialDownload_ && partialDownload_->fileName() == from)
        partialDownload_->setAutoRemove(false);
    partialDownload_.reset();

    if (Workspace* workspace = Platform::current().workspace.get())
        workspace->launchOpener(destination);
    showDownloadCompleteAlert(destination);
}

void UpdateManager::showDownloadCompleteAlert(const QString& filePath) {
    const int response =
        runAlert(localized(LocalizationKeys::updateDownloadedTitle),
                 localized(LocalizationKeys::updateDownloadedMessage).arg(QFileInfo(filePath).fileName()),
                 {localized(LocalizationKeys::okButton), localized(LocalizationKeys::showInFinder)});
    if (response != AlertResponse::secondButton)
        return;
    if (Workspace* workspace = Platform::current().workspace.get())
        workspace->revealFile(filePath);
}

void UpdateManager::setCheckingForUpdates(bool value) {
    if (isCheckingForUpdates_ == value)
        return;
    isCheckingForUpdates_ = value;
    Q_EMIT isCheckingForUpdatesChanged(value);
}

void UpdateManager::setUpdateAvailable(const std::optional<AppVersion>& value) {
    if (updateAvailable_ == value)
        return;
    updateAvailable_ = value;
}

void UpdateManager::setDownloading(bool value) {
    if (isDownloading_ == value)
        return;
    isDownloading_ = value;
    Q_EMIT isDownloadingChanged(value);
}

void UpdateManager::setDownloadProgress(double value) {
    if (downloadProgress_ == value)
        return;
    downloadProgress_ = value;
    Q_EMIT downloadProgressChanged(value);
}

} // namespace velmora
