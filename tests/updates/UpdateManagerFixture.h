#pragma once

#include "fakes/FakeMachine.h"
#include "fakes/ScriptedAlertPresenter.h"
#include "platform/Platform.h"
#include "settings/Constants.h"
#include "settings/InMemorySettingsStore.h"
#include "settings/NotificationCenter.h"
#include "support/CapturedOutput.h"
#include "support/LocalHttpServer.h"
#include "support/ReleaseKey.h"
#include "support/WaitUntil.h"
#include "updates/UpdateManager.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace velmora::test {

// A feed offering `version`, padded with an unknown member to exactly `size` bytes.
inline QByteArray feedOfSize(qsizetype size, const QByteArray& version = "2.0") {
    const QByteArray head = R"({"name": "Velmora )" + version + R"(", "version": ")" + version +
                            R"(", "url": "https://x.invalid/v", "p": ")";
    return head + QByteArray(size - head.size() - 2, 'x') + "\"}";
}
inline QByteArray feed(const QByteArray& version) {
    return feedOfSize(120, version);
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
        ASSERT_TRUE(server.start() && downloads.isValid());
        QFile earlier(destination());
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly) && earlier.write(earlierImage) > 0);
        output.clear();
    }
    void TearDown() override {
        manager.reset();
        Platform::install({});
        SettingsStore::setStandard(nullptr);
    }
    UpdateManager::Dependencies dependencies(std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        // Texts with their arguments visible, so a test sees which went where.
        const auto text = [](const QString& key) {
            const QHash<QString, QString> texts{{"update_available_message", "offer %1|%2|%3"},
                                                {"no_updates_message", "none %1"},
                                                {"update_downloaded_message", "saved %1"},
                                                {"update_not_opened_message", "not opened %1|%2"}};
            return texts.value(key, key);
        };
        return {.settings = &SettingsStore::standard,
                .notificationCenter = &notifications,
                .localizedString = text,
                .feedAddress = server.url("/version.json").toString(),
                .bundleVersion = [] { return QStringLiteral("1.5"); },
                .downloadFolder = [this] { return downloads.path(); },
                .now = [this] { return now; },
                .feedTimeout = timeout,
                .downloadTimeout = timeout,
                .packageKeys = {releaseKey.publicKey}};
    }
    void makeManager(UpdateManager::Dependencies with) {
        manager = std::make_unique<UpdateManager>(std::move(with));
    }
    // Starts a check and waits until it has been handled.
    void check(bool automatic) {
        if (!manager)
            makeManager(dependencies());
        manager->checkForUpdates(automatic);
        ASSERT_TRUE(waitUntil([this] { return !manager->isCheckingForUpdates(); }, 10000));
    }
    QString destination() const { return downloads.filePath(UpdateManager::downloadFileName()); }
    QStringList alertTexts() const {
        QStringList texts;
        for (const Alert& alert : alerts->shown())
            texts.append(alert.messageText + ": " + alert.informativeText);
        return texts;
    }
    // The messages of the trace lines with this mark, without their time and place.
    QStringList traced(const QString& mark, const QString& after = "(): ") const {
        QStringList messages;
        for (const QString& line : output.linesStartingWith(mark))
            messages.append(line.section(after, 1));
        return messages;
    }

    QDateTime now{QDate(2024, 6, 10), QTime(9, 0)};
    std::shared_ptr<InMemorySettingsStore> store = std::make_shared<InMemorySettingsStore>();
    std::shared_ptr<FakeMachine> machine = std::make_shared<FakeMachine>();
    std::shared_ptr<ScriptedAlertPresenter> alerts = std::make_shared<ScriptedAlertPresenter>();
    NotificationCenter notifications;
    QList<QVariant> posted;
    ReleaseKey releaseKey; // the key the manager trusts
    LocalHttpServer server;
    QTemporaryDir downloads;
    const QByteArray earlierImage = "earlier package";
    CapturedOutput output;
    std::unique_ptr<UpdateManager> manager;
};

} // namespace velmora::test
