#include "UpdateManagerFixture.h"

#include "platform/Platform.h"
#include "settings/Constants.h"
#include "support/WaitUntil.h"

#include <QDir>

namespace velmora::test {

namespace {

// Texts with their arguments visible, so a test sees which went where.
QString scriptedText(const QString& key) {
    if (key == u"update_available_message")
        return QStringLiteral("offer %1|%2|%3");
    if (key == u"no_updates_message")
        return QStringLiteral("none %1");
    if (key == u"update_downloaded_message")
        return QStringLiteral("saved %1");
    if (key == u"update_not_opened_message")
        return QStringLiteral("not opened %1|%2");
    return key;
}

} // namespace

void UpdateManagerFixture::SetUp() {
    SettingsStore::setStandard(store);
    store->setBool(Constants::enableDebugMode, true);
    store->setBool(Constants::enableUsageStats, true);
    store->setBool(Constants::enableAutoUpdates, true);
    Platform platform;
    platform.workspace = machine;
    platform.alerts = alerts;
    Platform::install(platform);
    notifications.addObserver(this, Constants::updateAvailableNotification,
                              [this](const QVariant& object) { posted.append(object); });
    ASSERT_TRUE(server.start());
    ASSERT_TRUE(downloads.isValid());
    output.clear();
}

void UpdateManagerFixture::TearDown() {
    manager.reset();
    Platform::install({});
    SettingsStore::setStandard(nullptr);
}

UpdateManager::Dependencies UpdateManagerFixture::dependencies() {
    return {
        .settings = &SettingsStore::standard,
        .notificationCenter = &notifications,
        .localizedString = &scriptedText,
        .feedAddress = server.url(QStringLiteral("/version.json")).toString(),
        .bundleVersion = [this] { return runningVersion; },
        .downloadFolder = [this] { return downloads.path(); },
        .now = [this] { return now; },
        .feedTimeout = std::chrono::milliseconds(5000),
        .downloadTimeout = std::chrono::milliseconds(5000),
        .packageKeys = {releaseKey.publicKey},
    };
}

UpdateManager& UpdateManagerFixture::makeManager(UpdateManager::Dependencies dependencies) {
    manager = std::make_unique<UpdateManager>(std::move(dependencies));
    return *manager;
}

void UpdateManagerFixture::serveFeed(const QByteArray& body, int status) {
    server.answer("/version.json", {.status = status, .body = body});
}

QByteArray UpdateManagerFixture::feed(const QString& version, const QString& url) {
    return AppVersion{QStringLiteral("Velmora ") + version, version, url}.encode();
}

void UpdateManagerFixture::check(bool automatic) {
    if (!manager)
        makeManager();
    manager->checkForUpdates(automatic);
    ASSERT_TRUE(waitUntilIdle());
}

bool UpdateManagerFixture::waitUntilIdle(int timeoutMs) {
    return waitUntil([this] { return !manager->isCheckingForUpdates() && !manager->isDownloading(); },
                     timeoutMs);
}

QStringList UpdateManagerFixture::downloadFolderEntries() const {
    return QDir(downloads.path()).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
}

QStringList UpdateManagerFixture::traced() const {
    QStringList messages;
    for (const QString& line : output.linesStartingWith(QStringLiteral("🐛")))
        messages.append(line.section(QStringLiteral("(): "), 1));
    return messages;
}

QStringList UpdateManagerFixture::errorLines() const {
    QStringList messages;
    for (const QString& line : output.linesStartingWith(QStringLiteral("❌")))
        messages.append(line.section(QStringLiteral("(): "), 1));
    return messages;
}

QStringList UpdateManagerFixture::events() const {
    QStringList names;
    for (const QString& line : output.linesStartingWith(QStringLiteral("📊")))
        names.append(line.section(QStringLiteral("Analytics: "), 1));
    return names;
}

} // namespace velmora::test
