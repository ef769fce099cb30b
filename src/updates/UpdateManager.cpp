#include "updates/UpdateManager.h"

#include "base/ApplicationIdentity.h"
#include "diagnostics/Logger.h"
#include "localization/LocalizationManager.h"
#include "platform/Platform.h"
#include "settings/Constants.h"
#include "settings/NotificationCenter.h"
#include "settings/SettingsStore.h"
#include "updates/UpdateFeed.h"
#include "updates/UpdatePolicy.h"
#include "updates/UpdateTransport.h"

#include <QFile>
#include <QNetworkReply>
#include <QPointer>
#include <QStandardPaths>

namespace velmora {

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
        // A lambda: Qt 6.5 and later overload currentDateTime, so its address is ambiguous.
        .now = [] { return QDateTime::currentDateTime(); },
        .packageKeys = PackageVerifier::builtInKeys(),
    };
}

UpdateManager& UpdateManager::shared() {
    // Never deleted: the menu and the preferences may reach it during shutdown.
    static UpdateManager* const instance = new UpdateManager(Dependencies::system());
    return *instance;
}

UpdateManager::UpdateManager(Dependencies dependencies, QObject* parent)
    : QObject(parent), dependencies_(std::move(dependencies)), prompt_(dependencies_.localizedString) {
    connect(&automaticChecks_, &QTimer::timeout, this, &UpdateManager::runAutomaticCheck);
}

UpdateManager::~UpdateManager() {
    // Replies die with the session; none may report to a half-destroyed manager.
    const QList<QNetworkReply*> replies = session_.findChildren<QNetworkReply*>();
    for (QNetworkReply* reply : replies)
        reply->disconnect(this);
}

QString UpdateManager::currentVersion() const {
    return UpdatePolicy::runningVersion(dependencies_.bundleVersion());
}

void UpdateManager::checkForUpdates(bool automatic) {
    if (isCheckingForUpdates_)
        return;
    setCheckingForUpdates(true);
    Logger::trackEvent(QStringLiteral("update_check_started"));
    Logger::log(QStringLiteral("Starting update check"));

    const std::optional<QUrl> url = UpdateTransport::acceptedAddress(dependencies_.feedAddress);
    if (!url) {
        Logger::log(QStringLiteral("Invalid version check URL"));
        setCheckingForUpdates(false);
        return;
    }
    UpdateFeed::fetch(session_, *url, dependencies_.feedTimeout, this,
                      [this, automatic](const UpdateFeed::Answer& answer) {
                          // Handled from the event loop, as a fresh turn: the offer alert is modal.
                          QMetaObject::invokeMethod(
                              this,
                              [this, answer, automatic] {
                                  setCheckingForUpdates(false);
                                  handleUpdateResponse(answer.data, answer.response, answer.error, automatic);
                                  // At login the network is often not up yet.
                                  if (automatic && lastCheckFailed_ && automaticChecks_.isActive())
                                      QTimer::singleShot(dependencies_.automaticRetryDelay, this,
                                                         &UpdateManager::runAutomaticCheck);
                              },
                              Qt::QueuedConnection);
                      });
}

void UpdateManager::startAutomaticChecks(std::chrono::milliseconds firstIn) {
    QTimer::singleShot(firstIn, this, &UpdateManager::runAutomaticCheck);
    // A session may stay up for weeks; the check itself runs once a day.
    automaticChecks_.start(dependencies_.automaticCheckInterval);
}

void UpdateManager::runAutomaticCheck() {
    if (shouldCheckForUpdates())
        checkForUpdates(true);
}

void UpdateManager::handleUpdateResponse(const std::optional<QByteArray>& data,
                                         const std::optional<HttpResponseRecord>&,
                                         const std::optional<Error>& error, bool automatic) {
    lastCheckFailed_ = true;
    if (error) {
        Logger::logError(*error);
        if (!automatic)
            showErrorAlert(UpdatePrompt::Stage::check,
                           QStringLiteral("Failed to check for updates: ") + error->localizedDescription);
        return;
    }
    if (!data) {
        Logger::log(QStringLiteral("No data received from update check"));
        if (!automatic)
            showErrorAlert(UpdatePrompt::Stage::check, QStringLiteral("No response from update server"));
        return;
    }
    Error decodingError;
    const std::optional<AppVersion> record = AppVersion::decode(*data, &decodingError);
    if (!record) {
        Logger::logError(decodingError);
        if (!automatic)
            showErrorAlert(UpdatePrompt::Stage::check, QStringLiteral("Failed to parse update information"));
        return;
    }
    Logger::log(QStringLiteral("Received version info: ") + record->version);

    // A check the user started offers even a version they skipped.
    if (isNewerVersion(record->version, !automatic)) {
        setUpdateAvailable(*record);
        Logger::trackEvent(QStringLiteral("update_available"),
                           {{QStringLiteral("new_version"), record->version},
                            {QStringLiteral("current_version"), currentVersion()}});
        // The announcement of the offer to the rest of the application.
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
    lastCheckFailed_ = false;
}

bool UpdateManager::isNewerVersion(const QString& version, bool ignoreSkipped) const {
    return UpdatePolicy::isNewer(currentVersion(), version,
                                 settings().stringForKey(Constants::skipUpdateVersion), ignoreSkipped);
}

bool UpdateManager::shouldCheckForUpdates() const {
    return UpdatePolicy::isDue(settings().boolForKey(Constants::enableAutoUpdates),
                               settings().dateForKey(Constants::lastUpdateCheck), dependencies_.now());
}

void UpdateManager::skipVersion(const QString& version) {
    settings().setString(Constants::skipUpdateVersion, version);
    setUpdateAvailable(std::nullopt);
    Logger::log(QStringLiteral("Skipped version: ") + version);
}

void UpdateManager::showUpdateAlert(const AppVersion& version) {
    switch (prompt_.offer(version, currentVersion())) {
    case UpdatePrompt::OfferChoice::download:
        downloadAndInstallUpdate(version);
        break;
    case UpdatePrompt::OfferChoice::skip:
        skipVersion(version.version);
        break;
    case UpdatePrompt::OfferChoice::remindLater:
    case UpdatePrompt::OfferChoice::none:
        break;
    }
}

void UpdateManager::showErrorAlert(UpdatePrompt::Stage stage, const QString& message) {
    prompt_.failure(stage, message);
}

void UpdateManager::showNoUpdatesAlert() {
    prompt_.noUpdates(currentVersion());
}

void UpdateManager::downloadAndInstallUpdate(const AppVersion& version) {
    if (isDownloading_)
        return;
    const std::optional<QUrl> url = UpdateTransport::acceptedAddress(version.url);
    if (!url) {
        showErrorAlert(UpdatePrompt::Stage::download, QStringLiteral("Invalid download URL"));
        return;
    }
    downloading_ = version;
    downloadedDigest_.clear();
    setDownloading(true);
    setDownloadProgress(0.0);
    Logger::trackEvent(QStringLiteral("update_download_started"));
    Logger::log(QStringLiteral("Starting download of update: ") + version.version);

    const std::optional<Error> notStarted = downloader_.start(
        session_, *url, dependencies_.downloadFolder(), dependencies_.downloadTimeout,
        dependencies_.maximumPackageSize, [this](double fraction) { setDownloadProgress(fraction); },
        [this](const UpdateDownloader::Result& result) {
            QMetaObject::invokeMethod(
                this,
                [this, result] {
                    setDownloading(false);
                    downloadedDigest_ = result.sha256;
                    handleDownloadCompletion(result.localFile, result.response, result.error);
                },
                Qt::QueuedConnection);
        });
    if (notStarted) {
        setDownloading(false);
        handleDownloadCompletion(std::nullopt, std::nullopt, notStarted);
    }
}

void UpdateManager::handleDownloadCompletion(const std::optional<QString>& localFile,
                                             const std::optional<HttpResponseRecord>& response,
                                             const std::optional<Error>& error) {
    if (error) {
        Logger::logError(*error);
        showErrorAlert(UpdatePrompt::Stage::download,
                       QStringLiteral("Download failed: ") + error->localizedDescription);
        return;
    }
    if (response && response->isHttp && !UpdateTransport::isSuccessStatus(response->statusCode)) {
        const Error statusError{QStringLiteral("HTTP"), response->statusCode,
                                QStringLiteral("HTTP status %1").arg(response->statusCode)};
        Logger::logError(statusError);
        showErrorAlert(UpdatePrompt::Stage::download,
                       QStringLiteral("Download failed: ") + statusError.localizedDescription);
        return;
    }
    if (!localFile) {
        showErrorAlert(UpdatePrompt::Stage::download, QStringLiteral("Download failed: No file received"));
        return;
    }
    Logger::log(QStringLiteral("Download completed: ") + QUrl::fromLocalFile(*localFile).toString());
    installUpdate(*localFile);
}

void UpdateManager::installUpdate(const QString& from) {
    Logger::trackEvent(QStringLiteral("update_install_started"));
    Logger::log(QStringLiteral("Starting installation of update"));

    if (const std::optional<QString> failure = PackageVerifier(dependencies_.packageKeys)
                                                   .failure(downloading_.version, downloadedDigest_,
                                                            downloading_.sha256, downloading_.signature)) {
        downloader_.discard();
        QFile::remove(from);
        Logger::logError({QStringLiteral("UpdateVerification"), 1,
                          QStringLiteral("The update was not installed: ") + *failure});
        prompt_.notVerified();
        return;
    }
    QString destination;
    if (const std::optional<Error> error =
            downloader_.moveIntoPlace(from, dependencies_.downloadFolder(), destination)) {
        Logger::logError(*error);
        showErrorAlert(UpdatePrompt::Stage::download,
                       QStringLiteral("Installation preparation failed: ") + error->localizedDescription);
        return;
    }
    Workspace* workspace = Platform::current().workspace.get();
    if (workspace == nullptr) {
        showDownloadCompleteAlert(destination);
        return;
    }
    // The alert says whether the package is opening, so it waits for the opener.
    workspace->launchOpener(destination, [manager = QPointer<UpdateManager>(this),
                                          destination](const std::optional<Error>& failure) {
        if (manager)
            manager->handleOpenerOutcome(destination, failure);
    });
}

void UpdateManager::handleOpenerOutcome(const QString& filePath, const std::optional<Error>& failure) {
    if (!failure) {
        showDownloadCompleteAlert(filePath);
        return;
    }
    Logger::logError(*failure);
    showOpenerFailedAlert(filePath);
}

void UpdateManager::showDownloadCompleteAlert(const QString& filePath) {
    if (prompt_.downloaded(filePath))
        revealFile(filePath);
}

void UpdateManager::showOpenerFailedAlert(const QString& filePath) {
    if (prompt_.notOpened(filePath))
        revealFile(filePath);
}

void UpdateManager::revealFile(const QString& filePath) {
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
