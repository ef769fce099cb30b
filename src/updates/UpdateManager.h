#pragma once

#include "base/Error.h"
#include "base/HttpExchange.h"
#include "updates/AppVersion.h"
#include "updates/PackageVerifier.h"
#include "updates/UpdateDownloader.h"
#include "updates/UpdatePrompt.h"

#include <QByteArray>
#include <QDateTime>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace velmora {

class NotificationCenter;
class SettingsStore;

// Learns of new releases from the update feed, offers them, remembers a
// skipped version and the last successful check, and downloads and opens an
// accepted release. The façade over UpdateFeed (the request), UpdatePolicy
// (the decisions), UpdateDownloader (the package file) and UpdatePrompt (the
// alerts): it holds the state, reads and writes the settings and writes
// every trace line. The opener and the file manager are reached through
// Platform::current().workspace. Main thread only; network results are
// handed back to it through the event loop.
class UpdateManager final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isCheckingForUpdates READ isCheckingForUpdates NOTIFY isCheckingForUpdatesChanged)
    // A newer release found is announced by the "UpdateAvailable" notification.
    Q_PROPERTY(std::optional<velmora::AppVersion> updateAvailable READ updateAvailable)
    Q_PROPERTY(bool isDownloading READ isDownloading NOTIFY isDownloadingChanged)
    Q_PROPERTY(double downloadProgress READ downloadProgress NOTIFY downloadProgressChanged)

public:
    // Everything the manager reaches besides the platform; system() gives the
    // real ones, which tests replace in part or whole. All must be set.
    struct Dependencies {
        // Called at each read and write, so a store swapped in later is used.
        std::function<SettingsStore&()> settings;
        NotificationCenter* notificationCenter = nullptr;
        std::function<QString(const QString& key)> localizedString;
        // The full feed address, checked when a check starts.
        QString feedAddress;
        // The running version; empty when the build carries none.
        std::function<QString()> bundleVersion;
        // Where the package is placed; empty when it cannot be determined.
        std::function<QString()> downloadFolder;
        std::function<QDateTime()> now;
        // Longest silence of the server before a request fails.
        std::chrono::milliseconds feedTimeout{30000};
        std::chrono::milliseconds downloadTimeout{60000};
        // Ed25519 public keys a package must be signed with to be opened.
        QList<QByteArray> packageKeys;
        // How often a running Velmora looks whether a check is due, and how
        // soon it tries again after an automatic check failed.
        std::chrono::milliseconds automaticCheckInterval{std::chrono::hours(1)};
        std::chrono::milliseconds automaticRetryDelay{std::chrono::minutes(10)};
        // A package announced or grown larger is refused while it downloads.
        qint64 maximumPackageSize = PackageVerifier::maximumPackageSize;

        // The feed is https://<web site>/version.json unless the environment
        // variable VELMORA_UPDATE_FEED_URL names another address.
        static Dependencies system();
    };

    // The process-wide instance, created on first use and never destroyed.
    static UpdateManager& shared();

    explicit UpdateManager(Dependencies dependencies, QObject* parent = nullptr);
    ~UpdateManager() override;

    // The file every download becomes, whatever the address was called.
    static QString downloadFileName() { return UpdateDownloader::fileName(); }

    bool isCheckingForUpdates() const { return isCheckingForUpdates_; }
    const std::optional<AppVersion>& updateAvailable() const { return updateAvailable_; }
    bool isDownloading() const { return isDownloading_; }
    // 0.0 when a download starts, 1.0 once its body is complete.
    double downloadProgress() const { return downloadProgress_; }

    // The running version, "1.0" when the build carries none.
    QString currentVersion() const;

    // Checking. A request made while a check runs is ignored.
    void checkForUpdates(bool automatic);
    // Runs the automatic check `firstIn` from now, then whenever it is due
    // while Velmora runs; a failed one is tried again sooner, silently.
    void startAutomaticChecks(std::chrono::milliseconds firstIn);
    void runAutomaticCheck();
    // Automatic updates are on and a whole calendar day has passed since the
    // last successful check, in the local time zone.
    bool shouldCheckForUpdates() const;
    // The end of a check, on the main thread. `data` is absent after a
    // transport error; `response` is not examined.
    void handleUpdateResponse(const std::optional<QByteArray>& data,
                              const std::optional<HttpResponseRecord>& response,
                              const std::optional<Error>& error, bool automatic);
    bool isNewerVersion(const QString& version, bool ignoreSkipped) const;
    void skipVersion(const QString& version);

    // The alerts; the offer acts on the button pressed.
    void showUpdateAlert(const AppVersion& version);
    void showErrorAlert(UpdatePrompt::Stage stage, const QString& message);
    void showNoUpdatesAlert();

    // Downloading. A request made while a download runs is ignored.
    void downloadAndInstallUpdate(const AppVersion& version);
    // The end of a download, on the main thread. `localFile` is the complete
    // body, present only when the server answered with a 2xx status.
    void handleDownloadCompletion(const std::optional<QString>& localFile,
                                  const std::optional<HttpResponseRecord>& response,
                                  const std::optional<Error>& error);
    // Checks the downloaded file against the offer's digest and signature,
    // moves it over the destination in one step and starts the opener on it;
    // the alert follows once the opener has answered. A file that fails the
    // check is removed unopened.
    void installUpdate(const QString& from);
    void showDownloadCompleteAlert(const QString& filePath);
    // The package is in place, but the opener failed or could not be started.
    void showOpenerFailedAlert(const QString& filePath);

Q_SIGNALS:
    void isCheckingForUpdatesChanged(bool isCheckingForUpdates);
    void isDownloadingChanged(bool isDownloading);
    void downloadProgressChanged(double downloadProgress);

private:
    SettingsStore& settings() const { return dependencies_.settings(); }

    void setCheckingForUpdates(bool value);
    void setUpdateAvailable(const std::optional<AppVersion>& value);
    void setDownloading(bool value);
    void setDownloadProgress(double value);

    void handleOpenerOutcome(const QString& filePath, const std::optional<Error>& failure);
    void revealFile(const QString& filePath);

    Dependencies dependencies_;
    bool isCheckingForUpdates_ = false;
    std::optional<AppVersion> updateAvailable_;
    bool isDownloading_ = false;
    double downloadProgress_ = 0.0;
    // No cache is installed on it: every request goes to the origin.
    QNetworkAccessManager session_;
    UpdateDownloader downloader_{this};
    // The offer being downloaded: its digest and signature check the package,
    // whose own digest was taken as it arrived.
    AppVersion downloading_;
    QByteArray downloadedDigest_;
    UpdatePrompt prompt_;
    QTimer automaticChecks_;
    bool lastCheckFailed_ = false;
};

} // namespace velmora
