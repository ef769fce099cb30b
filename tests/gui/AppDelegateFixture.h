#pragma once

#include "app/AppDelegate.h"
#include "fakes/FakePlatform.h"
#include "localization/LocalizationKeys.h"
#include "localization/LocalizationManager.h"
#include "settings/Constants.h"
#include "settings/InMemorySettingsStore.h"
#include "support/CapturedOutput.h"
#include "support/LocalHttpServer.h"
#include "support/WaitUntil.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace velmora {

// The application over a fake platform whose trust says no ("scripted"),
// with the trace and the usage events printed.
class AppDelegateTest : public ::testing::Test {
protected:
    void SetUp() override {
        SettingsStore::setStandard(store);
        store->setBool(Constants::enableDebugMode, true);
        store->setBool(Constants::enableUsageStats, true);
        LocalizationManager::shared().setCurrentLanguage(QStringLiteral("en"));
        fakes.trust->setTrusted(false, QStringLiteral("scripted"));
        makeUpdates(QStringLiteral("http://127.0.0.1:9/version.json"));
        output.clear();
    }
    void TearDown() override {
        delegate.reset();
        SettingsStore::setStandard(nullptr);
    }
    AppDelegate& make() {
        delegate = std::make_unique<AppDelegate>(*updates);
        return *delegate;
    }
    void makeUpdates(const QString& feed) {
        delegate.reset();
        auto dependencies = UpdateManager::Dependencies::system();
        dependencies.feedAddress = feed;
        dependencies.bundleVersion = [] { return QStringLiteral("1.0.0"); };
        dependencies.downloadFolder = [this] { return downloads.path(); };
        updates = std::make_unique<UpdateManager>(dependencies);
    }
    // A feed offering 9.9.9, and its package arriving in pieces.
    void serveUpdate() {
        ASSERT_TRUE(server.start());
        const QByteArray package = server.url(QStringLiteral("/Velmora.deb")).toEncoded();
        server.answer("/version.json",
                      {.body = R"({"name":"Velmora 9","version":"9.9.9","url":")" + package + "\"}"});
        server.answer("/Velmora.deb", {.contentType = "application/octet-stream",
                                       .body = QByteArray(64 * 1024, 'x'),
                                       .chunkSize = 8 * 1024,
                                       .chunkIntervalMs = 60});
        makeUpdates(server.url(QStringLiteral("/version.json")).toString());
    }
    // The automatic check finds 9.9.9, and the menu offers it.
    void offerUpdate(AppDelegate& app) {
        updates->checkForUpdates(true);
        ASSERT_TRUE(test::waitUntil([&] { return updates->updateAvailable().has_value(); }));
        app.updateAvailable({});
        ASSERT_TRUE(test::waitUntil([&] { return menuRows().at(2).contains(QStringLiteral("9.9.9")); }));
    }
    // The tray menu as shown ("&&" shows as "&"), "—" for a separator.
    QStringList menuRows() const {
        QStringList rows;
        for (const QAction* action : delegate->statusItem->contextMenu()->actions())
            rows.append(action->isSeparator() ? QStringLiteral("—") : action->text().replace("&&", "&"));
        return rows;
    }
    static QString tr(const QString& key) { return LocalizationManager::shared().localizedString(key); }
    // Trace messages without time and place, and the usage events.
    QStringList traced(const QString& mark = QStringLiteral("🐛"), const QString& after = "(): ") const {
        QStringList messages;
        for (const QString& line : output.linesStartingWith(mark))
            messages.append(line.section(after, 1));
        return messages;
    }
    QStringList events() const { return traced(QStringLiteral("📊"), QStringLiteral("Analytics: ")); }

    FakePlatform fakes;
    std::shared_ptr<InMemorySettingsStore> store = std::make_shared<InMemorySettingsStore>();
    test::CapturedOutput output;
    test::LocalHttpServer server;
    QTemporaryDir downloads;
    std::unique_ptr<UpdateManager> updates;
    std::unique_ptr<AppDelegate> delegate;
};

} // namespace velmora
