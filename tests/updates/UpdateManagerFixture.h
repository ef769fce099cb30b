#pragma once

#include "fakes/FakeMachine.h"
#include "fakes/ScriptedAlertPresenter.h"
#include "settings/InMemorySettingsStore.h"
#include "settings/NotificationCenter.h"
#include "support/CapturedOutput.h"
#include "support/LocalHttpServer.h"
#include "support/ReleaseKey.h"
#include "updates/UpdateManager.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace velmora::test {

// A manager wired to a local feed server, an in-memory store, scripted alerts,
// a recording desktop, a temporary download folder and a fixed clock.
class UpdateManagerFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The dependencies makeManager() uses; tests adjust them first.
    UpdateManager::Dependencies dependencies();
    UpdateManager& makeManager(UpdateManager::Dependencies dependencies);
    UpdateManager& makeManager() { return makeManager(dependencies()); }

    void serveFeed(const QByteArray& body, int status = 200);
    static QByteArray feed(const QString& version,
                           const QString& url = QStringLiteral("https://example.invalid/v.deb"));
    // Starts a check and waits until it has been handled.
    void check(bool automatic);
    bool waitUntilIdle(int timeoutMs = 10000);

    QString destination() const { return downloads.filePath(UpdateManager::downloadFileName()); }
    // Everything in the download folder, by name.
    QStringList downloadFolderEntries() const;

    // Trace messages without their time and place.
    QStringList traced() const;
    QStringList errorLines() const;
    QStringList events() const;

    QString runningVersion = QStringLiteral("1.5");
    QDateTime now{QDate(2024, 6, 10), QTime(9, 0)};
    std::shared_ptr<InMemorySettingsStore> store = std::make_shared<InMemorySettingsStore>();
    std::shared_ptr<FakeMachine> machine = std::make_shared<FakeMachine>();
    std::shared_ptr<ScriptedAlertPresenter> alerts = std::make_shared<ScriptedAlertPresenter>();
    NotificationCenter notifications;
    QList<QVariant> posted;
    // The key the manager trusts; offers of packages it signed are opened.
    ReleaseKey releaseKey;
    LocalHttpServer server;
    QTemporaryDir downloads;
    CapturedOutput output;
    std::unique_ptr<UpdateManager> manager;
};

} // namespace velmora::test
