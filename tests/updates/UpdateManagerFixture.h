#pragma once

#include "fakes/FakePlatform.h"
#include "platform/Platform.h"
#include "settings/Constants.h"
#include "settings/InMemorySettingsStore.h"
#include "settings/NotificationCenter.h"
#include "support/CapturedOutput.h"
#include "support/Files.h"
#include "support/LocalHttpServer.h"
#include "support/WaitUntil.h"
#include "updates/ReleaseStatement.h"
#include "updates/UpdateManager.h"

#include <QCryptographicHash>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sodium.h>

namespace velmora::test {

// A release key pair made for one test, signing as velmora-sign does.
struct ReleaseKey {
    QByteArray publicKey{crypto_sign_PUBLICKEYBYTES, '\0'}, secretKey{crypto_sign_SECRETKEYBYTES, '\0'};

    ReleaseKey() {
        if (sodium_init() >= 0)
            crypto_sign_keypair(bytes(publicKey), bytes(secretKey));
    }
    // The signature of the statement that `package` is the release `version`.
    QString sign(const QByteArray& package, const QString& version) const {
        return sign(releaseStatement(version, sha256(package).toLatin1()));
    }
    QString sign(QByteArray message) const {
        QByteArray signature(crypto_sign_BYTES, '\0'), secret = secretKey;
        crypto_sign_detached(bytes(signature), nullptr, bytes(message), message.size(), bytes(secret));
        return QString::fromLatin1(signature.toBase64());
    }
    static unsigned char* bytes(QByteArray& array) { return reinterpret_cast<unsigned char*>(array.data()); }
    static QString sha256(const QByteArray& bytes) {
        return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    }
};

// A feed offering `version`, padded with an unknown member to exactly `size` bytes.
inline QByteArray feedOfSize(qsizetype size, const QByteArray& version = "2.0") {
    const QByteArray head = R"({"name": "Velmora )" + version + R"(", "version": ")" + version +
                            R"(", "url": "https://x.invalid/v", "p": ")";
    return head + QByteArray(size - head.size() - 2, 'x') + "\"}";
}

// A manager wired to a local server, an in-memory store, scripted alerts, a
// recording desktop, a download folder holding an earlier package, and a fixed clock.
class UpdateManagerFixture : public ::testing::Test {
protected:
    void SetUp() override {
        SettingsStore::setStandard(store);
        for (const QString& key :
             {Constants::enableDebugMode, Constants::enableUsageStats, Constants::enableAutoUpdates})
            store->setBool(key, true);
        Platform platform;
        platform.workspace = machine;
        platform.alerts = alerts;
        Platform::install(platform);
        notifications.addObserver(this, Constants::updateAvailableNotification,
                                  [this](const QVariant& object) { posted.append(object); });
        QFile earlier(destination());
        ASSERT_TRUE(server.start() && earlier.open(QIODevice::WriteOnly) && earlier.write(earlierImage) > 0);
        makeManager();
        output.clear();
    }
    void TearDown() override {
        manager.reset();
        Platform::install({});
        SettingsStore::setStandard(nullptr);
    }
    // Texts show their arguments, so a test sees which went where.
    void makeManager(std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        const auto text = [](const QString& key) {
            const QHash<QString, QString> texts{{"update_available_message", "offer %1|%2|%3"},
                                                {"no_updates_message", "none %1"},
                                                {"update_downloaded_message", "saved %1"},
                                                {"update_not_opened_message", "not opened %1|%2"}};
            return texts.value(key, key);
        };
        manager = std::make_unique<UpdateManager>(
            UpdateManager::Dependencies{.settings = &SettingsStore::standard,
                                        .notificationCenter = &notifications,
                                        .localizedString = text,
                                        .feedAddress = server.url("/version.json").toString(),
                                        .bundleVersion = [] { return QStringLiteral("1.5"); },
                                        .downloadFolder = [this] { return downloads.path(); },
                                        .now = [this] { return now; },
                                        .feedTimeout = timeout,
                                        .downloadTimeout = timeout,
                                        .packageKeys = {releaseKey.publicKey},
                                        .automaticCheckInterval = checkInterval,
                                        .automaticRetryDelay = retryDelay,
                                        .maximumPackageSize = maximumPackageSize});
    }
    void check(bool automatic) {
        manager->checkForUpdates(automatic);
        ASSERT_TRUE(waitUntil([this] { return !manager->isCheckingForUpdates(); }, 10000));
    }
    // An offer of `package` at `path`, signed with the release key.
    AppVersion offer(const char* path) const {
        return {"Velmora 2.0", "2.0", server.url(path).toString(), ReleaseKey::sha256(package),
                releaseKey.sign(package, "2.0")};
    }
    // Starts a download and waits for the one alert that ends every download the manager takes up.
    void download(const AppVersion& version) {
        const qsizetype shownBefore = alerts->shown().size();
        manager->downloadAndInstallUpdate(version);
        ASSERT_TRUE(waitUntil([&] { return alerts->shown().size() > shownBefore; }, 10000));
        EXPECT_FALSE(manager->isDownloading());
    }
    QByteArray downloaded() const { return velmora::test::readFile(destination()); }
    // Whatever went wrong, the earlier package is untouched and nothing else is left.
    void expectEarlierImageAlone(const char* name = "") const {
        EXPECT_EQ(downloaded(), earlierImage) << name;
        EXPECT_EQ(QDir(downloads.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{UpdateManager::downloadFileName()})
            << name;
        EXPECT_TRUE(machine->launchedFiles.isEmpty()) << name;
    }
    QString destination() const { return downloads.filePath(UpdateManager::downloadFileName()); }
    QStringList alertTexts() const {
        QStringList texts;
        for (const Alert& alert : alerts->shown())
            texts.append(alert.messageText + ": " + alert.informativeText);
        return texts;
    }

    QDateTime now{QDate(2024, 6, 10), QTime(9, 0)};
    std::chrono::milliseconds checkInterval = std::chrono::hours(1), retryDelay = std::chrono::hours(1);
    std::shared_ptr<InMemorySettingsStore> store = std::make_shared<InMemorySettingsStore>();
    std::shared_ptr<FakeMachine> machine = std::make_shared<FakeMachine>();
    std::shared_ptr<ScriptedAlertPresenter> alerts = std::make_shared<ScriptedAlertPresenter>();
    NotificationCenter notifications;
    QList<QVariant> posted;
    ReleaseKey releaseKey; // the key the manager trusts
    LocalHttpServer server;
    QTemporaryDir downloads;
    const QByteArray earlierImage = "earlier package";
    // Three pieces of 100 KiB: a write error falls inside one whole piece.
    const QByteArray package = QByteArray("Velmora 2.0 package, ").repeated(15000).left(300 * 1024);
    // Above the package, below two of it.
    static constexpr qint64 maximumPackageSize = 512 * 1024;
    CapturedOutput output;
    std::unique_ptr<UpdateManager> manager;
};

} // namespace velmora::test
