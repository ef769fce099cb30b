// The update manager against a real HTTP server on 127.0.0.1, downloading into a real folder.
#include "UpdateManagerFixture.h"

#include <QRandomGenerator>

#include <csignal>
#include <sys/resource.h>

using namespace velmora;
using Cut = test::ScriptedAnswer::Cut;

namespace {

using UpdateCheckTest = test::UpdateManagerFixture;

TEST_F(UpdateCheckTest, UserStartedCheckOffersANewerVersion) {
    server.answer("/version.json", {.body = test::feed("2.0")});
    alerts->answerWith(AlertResponse::thirdButton); // remind me later: the offer stays, nothing is skipped
    check(false);
    EXPECT_EQ(alertTexts(), QStringList{"update_available_title: offer Velmora 2.0|1.5|2.0"});
    EXPECT_EQ(alerts->shown().first().buttons, (QStringList{"download", "skip_version", "remind_later"}));
    ASSERT_TRUE(manager->updateAvailable() && posted.size() == 1);
    EXPECT_EQ(posted.first().value<AppVersion>(), *manager->updateAvailable());
    EXPECT_FALSE(store->hasObject(Constants::skipUpdateVersion));
    EXPECT_EQ(store->dateForKey(Constants::lastUpdateCheck), now);
    EXPECT_EQ(traced("📊", "Analytics: "), (QStringList{"update_check_started", "update_available"}));
    EXPECT_TRUE(
        output.lines().contains(R"(   Parameters: ["new_version": "2.0", "current_version": "1.5"])"));
}

TEST_F(UpdateCheckTest, AutomaticCheckOffersSilentlyAndKeepsTheOfferOverAnOlderFeed) {
    server.answer("/version.json", {.body = test::feedOfSize(AppVersion::maximumFeedSize, "2.0")});
    check(true);
    EXPECT_TRUE(alerts->shown().isEmpty());
    EXPECT_EQ(posted.size(), 1);
    EXPECT_FALSE(manager->shouldCheckForUpdates()) << "checked today";
    now = now.addDays(1);
    EXPECT_TRUE(manager->shouldCheckForUpdates());
    server.answer("/version.json", {.body = test::feed("1.5")});
    check(true);
    check(false);
    EXPECT_EQ(alertTexts(), QStringList{"no_updates_title: none 1.5"});
    ASSERT_TRUE(manager->updateAvailable());
    EXPECT_EQ(manager->updateAvailable()->version, QStringLiteral("2.0"));
}

TEST_F(UpdateCheckTest, SkippedVersionIsOfferedOnlyWhenTheUserAsks) {
    server.answer("/version.json", {.body = test::feed("2.0")});
    alerts->answerWith(AlertResponse::secondButton);
    check(false);
    EXPECT_EQ(store->stringForKey(Constants::skipUpdateVersion), QStringLiteral("2.0"));
    check(true);
    EXPECT_FALSE(manager->updateAvailable());
    EXPECT_EQ(posted.size(), 1);
    alerts->answerWith(AlertResponse::thirdButton);
    check(false);
    EXPECT_EQ(alerts->shown().size(), 2);
    EXPECT_EQ(posted.size(), 2);
    server.answer("/version.json", {.body = test::feed("2.1")});
    check(true);
    EXPECT_EQ(manager->updateAvailable()->version, QStringLiteral("2.1"));
}

// Nothing is stored or offered; an automatic check says nothing, the user is told why.
TEST_F(UpdateCheckTest, FailuresLeaveTheStateAlone) {
    const QString parseFailure = "Failed to parse update information",
                  failed = "Failed to check for updates: ";
    const QByteArray feed = test::feed("2.0");
    const qsizetype limit = AppVersion::maximumFeedSize;
    const auto shortBy = [](qsizetype received, qsizetype announced) {
        return QString("The connection closed after %1 of %2 bytes.").arg(received).arg(announced);
    };
    const struct {
        const char* name;
        test::ScriptedAnswer answer;
        QString told;
    } rows[] = {
        {"wrong type",
         {.body = R"({"name": "V", "version": 2.0, "url": "https://x.invalid/"})"},
         parseFailure},
        {"html error page",
         {.status = 500, .contentType = "text/html", .body = "<html>Oops</html>"},
         parseFailure},
        {"not found",
         {.status = 404, .contentType = "text/html", .body = "<h1>Not Found</h1>"},
         parseFailure},
        {"over the limit", {.body = test::feedOfSize(limit + 1)}, parseFailure},
        {"closed early", {.body = feed, .cutAfter = 20}, failed}, // Qt or the length check notices
        {"ended early",
         {.body = feed, .cutAfter = 20, .cut = Cut::endEarly},
         failed + shortBy(20, feed.size())},
        {"ended at the limit",
         {.body = test::feedOfSize(limit + 9), .cutAfter = limit, .cut = Cut::endEarly},
         failed + shortBy(limit, limit + 9)},
        {"stalled", {.body = feed, .cutAfter = 5, .cut = Cut::stall}, failed + "The request timed out."},
    };
    store->setString(Constants::skipUpdateVersion, QStringLiteral("0.9"));
    makeManager(dependencies(std::chrono::milliseconds(500)));
    for (const auto& row : rows) {
        server.answer("/version.json", row.answer);
        output.clear();
        check(true);
        check(false);
        EXPECT_TRUE(alertTexts().last().startsWith("update_check_failed_title: " + row.told))
            << row.name << ": " << alertTexts().last().toStdString();
        EXPECT_EQ(traced("❌").size(), 2) << row.name;
    }
    EXPECT_EQ(alerts->shown().size(), std::size(rows));
    EXPECT_FALSE(store->hasObject(Constants::lastUpdateCheck));
    EXPECT_FALSE(manager->updateAvailable());
    EXPECT_EQ(store->stringForKey(Constants::skipUpdateVersion), QStringLiteral("0.9"));
    EXPECT_TRUE(posted.isEmpty());
}

TEST_F(UpdateCheckTest, SecondCheckIsIgnoredWhileOneRuns) {
    server.answer("/version.json", {.body = test::feed("1.0"), .cutAfter = 5, .cut = Cut::stall});
    makeManager(dependencies(std::chrono::milliseconds(500)));
    manager->checkForUpdates(false);
    ASSERT_TRUE(test::waitUntil([&] { return server.requestCount("/version.json") == 1; }));
    manager->checkForUpdates(false);
    manager->checkForUpdates(true);
    ASSERT_TRUE(test::waitUntil([&] { return !manager->isCheckingForUpdates(); }));
    EXPECT_EQ(server.requests().size(), 1);
    EXPECT_EQ(alerts->shown().size(), 1);
}

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class UpdateDownloadTest : public test::UpdateManagerFixture {
protected:
    // An offer of `package` at `path`, signed with the release key.
    AppVersion offer(const char* path) const {
        return {"Velmora 2.0", "2.0", server.url(path).toString(), test::ReleaseKey::sha256(package),
                releaseKey.sign(package)};
    }
    // Starts a download and waits for the one alert that ends every download the manager takes up.
    void download(const AppVersion& version) {
        if (!manager)
            makeManager(dependencies());
        const qsizetype shownBefore = alerts->shown().size();
        manager->downloadAndInstallUpdate(version);
        ASSERT_TRUE(test::waitUntil([&] { return alerts->shown().size() > shownBefore; }, 10000));
        EXPECT_FALSE(manager->isDownloading());
    }
    QStringList entries() const {
        return QDir(downloads.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    // Whatever went wrong, the earlier package is untouched and nothing else is left.
    void expectEarlierImageAlone(const char* name = "") const {
        EXPECT_EQ(contentsOf(destination()), earlierImage) << name;
        EXPECT_EQ(entries(), QStringList{UpdateManager::downloadFileName()}) << name;
        EXPECT_TRUE(machine->launchedFiles.isEmpty()) << name;
    }

    const QByteArray package = [] {
        QByteArray bytes(300 * 1024, Qt::Uninitialized);
        QRandomGenerator generator(7);
        for (char& byte : bytes)
            byte = static_cast<char>(generator.bounded(256));
        return bytes;
    }();
};

TEST_F(UpdateDownloadTest, SuccessReplacesTheEarlierPackageAndOpensIt) {
    server.answer("/v.deb", {.body = package});
    makeManager(dependencies());
    QList<double> progress;
    QObject::connect(manager.get(), &UpdateManager::downloadProgressChanged,
                     [&](double p) { progress.append(p); });
    download(offer("/v.deb"));
    EXPECT_EQ(contentsOf(destination()), package);
    EXPECT_EQ(machine->launchedFiles, QStringList{destination()});
    EXPECT_EQ(alertTexts(), QStringList{"update_downloaded_title: saved Velmora_Update.deb"});
    EXPECT_EQ(alerts->shown().first().buttons, (QStringList{"ok_button", "show_in_finder"}));
    EXPECT_TRUE(machine->revealedFiles.isEmpty()) << "OK only closes the alert";
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_DOUBLE_EQ(progress.value(progress.size() - 1), 1.0);
    EXPECT_EQ(traced("📊", "Analytics: "), (QStringList{"update_download_started", "update_install_started"}));
    const QStringList trace = traced("🐛");
    ASSERT_EQ(trace.size(), 3);
    EXPECT_EQ(trace[0], QStringLiteral("Starting download of update: 2.0"));
    // The body arrived beside its destination, under a name of its own.
    EXPECT_TRUE(
        trace[1].startsWith("Download completed: " + QUrl::fromLocalFile(destination()).toString() + "."));
    EXPECT_EQ(trace[2], QStringLiteral("Starting installation of update"));
    // A second download starts again from zero.
    progress.clear();
    download(offer("/v.deb"));
    EXPECT_EQ(progress.value(0), 0.0);
}

// An opener that did not take the file: the alert names where it is, and offers to show it.
TEST_F(UpdateDownloadTest, OpenerFailureOffersTheFolder) {
    server.answer("/v.deb", {.body = package});
    machine->launchSucceeds = false;
    alerts->answerWith(AlertResponse::secondButton);
    download(offer("/v.deb"));
    EXPECT_EQ(alertTexts(),
              QStringList{"update_not_opened_title: not opened Velmora_Update.deb|" + downloads.path()});
    EXPECT_EQ(machine->revealedFiles, QStringList{destination()});
    EXPECT_EQ(contentsOf(destination()), package);
    EXPECT_EQ(traced("❌").size(), 1);
}

TEST_F(UpdateDownloadTest, AcceptedOfferDownloadsFromTheAlert) {
    server.answer("/version.json", {.body = offer("/v.deb").encode()});
    server.answer("/v.deb", {.body = package});
    check(false);
    ASSERT_TRUE(test::waitUntil([&] { return alerts->shown().size() == 2 && !manager->isDownloading(); }));
    EXPECT_EQ(alerts->shown().at(1).messageText, QStringLiteral("update_downloaded_title"));
    EXPECT_EQ(contentsOf(destination()), package);
}

// Each failure is told in one alert and leaves the earlier package alone.
TEST_F(UpdateDownloadTest, FailuresKeepTheEarlierPackage) {
    const test::ReleaseKey stranger;
    const qsizetype part = 100 * 1024;
    const QByteArray page = "<html>" + QByteArray(64 * 1024, 'e') + "</html>";
    const QString failed = "update_check_failed_title: Download failed: ";
    const struct {
        const char* name;
        test::ScriptedAnswer answer;
        QString told;
    } rows[] = {
        {"not found", {.status = 404}, failed + "HTTP status 404"},
        // An error page is not waited for: it is dropped at its first bytes.
        {"stalled error page",
         {.status = 404, .body = page, .cutAfter = 10, .cut = Cut::stall},
         failed + "HTTP status 404"},
        {"stalled",
         {.body = package, .cutAfter = part, .cut = Cut::stall},
         failed + "The request timed out."},
        {"closed early", {.body = package, .cutAfter = part}, failed}, // Qt or the length check notices
        {"ended early",
         {.body = package, .cutAfter = part, .cut = Cut::endEarly},
         failed + QString("The connection closed after %1 of %2 bytes.").arg(part).arg(package.size())},
        {"redirected where the address rules allow",
         {.status = 302, .location = "/signed-by-another.deb"},
         "update_not_verified_title: update_not_verified_message"},
        {"redirected where the address rules refuse",
         {.status = 302,
          .location = "http://0.0.0.0:" + QByteArray::number(server.url("/").port()) + "/elsewhere.deb"},
         failed + "The server redirected to an address that is not accepted."},
    };
    server.answer("/signed-by-another.deb", {.body = package + 'x'});
    makeManager(dependencies(std::chrono::milliseconds(800)));
    for (const auto& row : rows) {
        server.answer("/v.deb", row.answer);
        download(offer("/v.deb"));
        EXPECT_TRUE(alertTexts().last().startsWith(row.told))
            << row.name << ": " << alertTexts().last().toStdString();
        expectEarlierImageAlone(row.name);
    }
    EXPECT_EQ(server.requestCount("/signed-by-another.deb"), 1);
    EXPECT_EQ(server.requestCount("/elsewhere.deb"), 0);
}

// The file may grow to one byte short of the package (SIGXFSZ ignored, so the
// write fails instead of the process): the last piece is written only in part.
TEST_F(UpdateDownloadTest, WriteErrorIsAFailure) {
    server.answer("/v.deb", {.body = package, .chunkSize = 100 * 1024, .chunkIntervalMs = 20});
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit limited = previous;
    limited.rlim_cur = static_cast<rlim_t>(package.size() - 1);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    download(offer("/v.deb"));
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_TRUE(alertTexts().value(0).startsWith("update_check_failed_title: Download failed: "))
        << alertTexts().value(0).toStdString();
    expectEarlierImageAlone();
}

TEST_F(UpdateDownloadTest, RefusedAddressNeverStartsADownload) {
    download({"Velmora 2.0", "2.0", "http://example.invalid/v.deb"});
    EXPECT_EQ(alertTexts(), QStringList{"update_check_failed_title: Invalid download URL"});
    EXPECT_TRUE(server.requests().isEmpty());
    expectEarlierImageAlone();
}

TEST_F(UpdateDownloadTest, SecondDownloadIsIgnoredWhileOneRuns) {
    server.answer("/v.deb", {.body = package, .cutAfter = 1024, .cut = Cut::stall});
    makeManager(dependencies(std::chrono::milliseconds(500)));
    manager->downloadAndInstallUpdate(offer("/v.deb"));
    ASSERT_TRUE(test::waitUntil([&] { return server.requestCount("/v.deb") == 1; }));
    manager->downloadAndInstallUpdate(offer("/other.deb"));
    ASSERT_TRUE(test::waitUntil([&] { return !manager->isDownloading(); }));
    EXPECT_EQ(server.requests().size(), 1);
    EXPECT_EQ(alertTexts(),
              QStringList{"update_check_failed_title: Download failed: The request timed out."});
}

TEST_F(UpdateDownloadTest, DestinationThatCannotBeReplacedIsAnInstallationFailure) {
    ASSERT_TRUE(QFile::remove(destination()) &&
                QDir(downloads.path()).mkpath(UpdateManager::downloadFileName() + "/keep"));
    server.answer("/v.deb", {.body = package});
    download(offer("/v.deb"));
    EXPECT_TRUE(
        alertTexts().value(0).startsWith("update_check_failed_title: Installation preparation failed: "));
    EXPECT_TRUE(machine->launchedFiles.isEmpty());
    EXPECT_EQ(QDir(downloads.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
              QStringList{UpdateManager::downloadFileName()})
        << "no partial file left";
}

TEST_F(UpdateDownloadTest, ManagerGoneMidDownloadLeavesNothingBehind) {
    server.answer("/v.deb", {.body = package, .cutAfter = 1024, .cut = Cut::stall});
    makeManager(dependencies());
    manager->downloadAndInstallUpdate(offer("/v.deb"));
    ASSERT_TRUE(test::waitUntil([&] { return server.requestCount("/v.deb") == 1; }));
    manager.reset();
    expectEarlierImageAlone();
}

} // namespace
