// The update manager against a real HTTP server on 127.0.0.1, downloading into a real folder.
#include "UpdateManagerFixture.h"

#include <csignal>
#include <sys/resource.h>

using namespace velmora;
using Cut = test::ScriptedAnswer::Cut;

namespace {

using UpdateManagerTest = test::UpdateManagerFixture;

struct Failure {
    const char* name;
    test::ScriptedAnswer answer;
    QString told;
    bool fileLimited = false;
};

// An automatic check offers silently, once a day; the user's check asks. Remind me
// later keeps the offer, also over an older feed; a skipped version is offered only when the user asks.
TEST_F(UpdateManagerTest, NewerVersionIsOfferedUnlessSkipped) {
    server.answer("/version.json", {.body = test::feedOfSize(AppVersion::maximumFeedSize)});
    check(true);
    EXPECT_EQ(store->dateForKey(Constants::lastUpdateCheck), now);
    EXPECT_FALSE(manager->shouldCheckForUpdates()) << "checked today";
    now = now.addDays(1);
    EXPECT_TRUE(manager->shouldCheckForUpdates());
    alerts->answerWith(AlertResponse::thirdButton);
    output.clear();
    check(false);
    EXPECT_EQ(alertTexts(), QStringList{"update_available_title: offer Velmora 2.0|1.5|2.0"});
    EXPECT_EQ(alerts->shown().first().buttons, (QStringList{"download", "skip_version", "remind_later"}));
    ASSERT_TRUE(manager->updateAvailable() && posted.size() == 2);
    EXPECT_EQ(posted.first().value<AppVersion>(), *manager->updateAvailable());
    EXPECT_FALSE(store->hasObject(Constants::skipUpdateVersion));
    EXPECT_EQ(output.messages("📊", "Analytics: "), (QStringList{"update_check_started", "update_available"}));
    server.answer("/version.json", {.body = test::feedOfSize(120, "1.5")});
    check(false);
    EXPECT_EQ(alertTexts().last(), QStringLiteral("no_updates_title: none 1.5"));
    EXPECT_EQ(manager->updateAvailable().value_or(AppVersion()).version, QStringLiteral("2.0"));

    server.answer("/version.json", {.body = test::feedOfSize(120)});
    alerts->answerWith(AlertResponse::secondButton);
    check(false);
    EXPECT_EQ(store->stringForKey(Constants::skipUpdateVersion), QStringLiteral("2.0"));
    makeManager();
    check(true);
    EXPECT_FALSE(manager->updateAvailable());
    check(false);
    EXPECT_EQ(alerts->shown().size(), 4);
    EXPECT_EQ(posted.size(), 4);
}

// Nothing is stored or offered; an automatic check says nothing, the user is told why.
TEST_F(UpdateManagerTest, CheckFailuresLeaveTheStateAlone) {
    const QString failed = "Failed to check for updates: ",
                  closed = failed + "The connection closed after %1 of %2";
    const QByteArray feed = test::feedOfSize(120);
    const qsizetype limit = AppVersion::maximumFeedSize;
    const Failure rows[] = {
        {"error page", {.status = 500, .contentType = "text/html", .body = "<html/>"}, "Failed to parse"},
        {"ended early", {.body = feed, .cutAfter = 20, .cut = Cut::endEarly}, closed.arg(20).arg(120)},
        {"ended at the limit",
         {.body = test::feedOfSize(limit + 9), .cutAfter = limit, .cut = Cut::endEarly},
         closed.arg(limit).arg(limit + 9)},
        {"stalled", {.body = feed, .cutAfter = 5}, failed + "The request timed out."},
    };
    store->setString(Constants::skipUpdateVersion, QStringLiteral("0.9"));
    makeManager(std::chrono::milliseconds(500));
    for (const auto& row : rows) {
        server.answer("/version.json", row.answer);
        output.clear();
        check(true);
        check(false);
        EXPECT_TRUE(alertTexts().last().startsWith("update_check_failed_title: " + row.told))
            << row.name << ": " << alertTexts().last().toStdString();
        EXPECT_EQ(output.linesStartingWith("❌").size(), 2) << row.name;
    }
    EXPECT_EQ(alerts->shown().size(), std::ssize(rows));
    EXPECT_FALSE(store->hasObject(Constants::lastUpdateCheck) || manager->updateAvailable());
    EXPECT_EQ(store->stringForKey(Constants::skipUpdateVersion), QStringLiteral("0.9"));
    EXPECT_TRUE(posted.isEmpty());
}

// While Velmora runs, a failed automatic check is tried again soon and a due
// one runs at the next look, all without a word unless there is news.
TEST_F(UpdateManagerTest, AutomaticChecksRunWhileVelmoraRuns) {
    server.answer("/version.json", {.status = 500, .body = "down"});
    retryDelay = std::chrono::milliseconds(50);
    makeManager();
    manager->startAutomaticChecks({});
    ASSERT_TRUE(test::waitUntil([&] { return server.requestCount("/version.json") == 2; }));
    server.answer("/version.json", {.body = test::feedOfSize(120)});
    ASSERT_TRUE(test::waitUntil([&] { return posted.size() == 1; }));
    EXPECT_EQ(store->dateForKey(Constants::lastUpdateCheck), now);
    EXPECT_TRUE(alerts->shown().isEmpty());

    std::swap(checkInterval, retryDelay);
    makeManager();
    manager->startAutomaticChecks({});
    const qsizetype checks = server.requestCount("/version.json");
    EXPECT_FALSE(test::waitUntil([&] { return server.requestCount("/version.json") != checks; }, 300))
        << "checked today";
    now = now.addDays(1);
    EXPECT_TRUE(test::waitUntil([&] { return posted.size() == 2; }) && alerts->shown().isEmpty());
}

TEST_F(UpdateManagerTest, DownloadReplacesTheEarlierPackageAndOpensIt) {
    server.answer("/v.deb", {.body = package});
    QList<double> progress;
    QObject::connect(manager.get(), &UpdateManager::downloadProgressChanged,
                     [&](double p) { progress.append(p); });
    download(offer("/v.deb"));
    EXPECT_EQ(downloaded(), package);
    EXPECT_EQ(machine->launchedFiles, QStringList{destination()});
    EXPECT_EQ(alertTexts(), QStringList{"update_downloaded_title: saved Velmora_Update.deb"});
    EXPECT_EQ(alerts->shown().first().buttons, (QStringList{"ok_button", "show_in_finder"}));
    EXPECT_TRUE(machine->revealedFiles.isEmpty()) << "OK only closes the alert";
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_DOUBLE_EQ(progress.value(progress.size() - 1), 1.0);
    EXPECT_EQ(output.messages("📊", "Analytics: "),
              (QStringList{"update_download_started", "update_install_started"}));
    // An opener that did not take the file: the alert names where it is, and offers to show it.
    progress.clear();
    machine->launchSucceeds = false;
    alerts->answerWith(AlertResponse::secondButton);
    download(offer("/v.deb"));
    EXPECT_EQ(progress.value(0), 0.0) << "a second download starts again from zero";
    EXPECT_EQ(alertTexts().last(),
              "update_not_opened_title: not opened Velmora_Update.deb|" + downloads.path());
    EXPECT_EQ(machine->revealedFiles, QStringList{destination()});
}

// Each failure is told in one alert and leaves the earlier package alone.
TEST_F(UpdateManagerTest, DownloadFailuresKeepTheEarlierPackage) {
    const qsizetype part = 100 * 1024;
    const QByteArray page = "<html>" + QByteArray(64 * 1024, 'e') + "</html>";
    const QString failed = "update_download_failed_title: Download failed: ";
    const Failure rows[] = {
        // The file may grow to one byte short of the package (SIGXFSZ ignored, so the
        // write fails instead of the process): the last piece is written only in part.
        {"write error", {.body = package, .chunkSize = 100 * 1024, .chunkIntervalMs = 20}, failed, true},
        // An error page is not waited for: it is dropped at its first bytes.
        {"stalled error page", {.status = 404, .body = page, .cutAfter = 10}, failed + "HTTP status 404"},
        {"stalled", {.body = package, .cutAfter = part}, failed + "The request timed out."},
        {"ended early",
         {.body = package, .cutAfter = part, .cut = Cut::endEarly},
         failed + QString("The connection closed after %1 of %2 bytes.").arg(part).arg(package.size())},
        {"announced too large",
         {.body = package, .announcedLength = qint64{10} << 30},
         failed + QString("The package is larger than %1 bytes.").arg(maximumPackageSize)},
        {"endless",
         {.body = package, .endless = true},
         failed + QString("The package is larger than %1 bytes.").arg(maximumPackageSize)},
        {"redirected where the address rules allow",
         {.status = 302, .location = "/signed-by-another.deb"},
         "update_not_verified_title: update_not_verified_message"},
        {"redirected where the address rules refuse",
         {.status = 302,
          .location = server.url("/elsewhere.deb").toEncoded().replace("127.0.0.1", "0.0.0.0")},
         failed + "The server redirected to an address that is not accepted."},
        {"redirected without an address",
         {.status = 302},
         failed + "The server redirected (HTTP status 302) "},
    };
    server.answer("/signed-by-another.deb", {.body = package + 'x'});
    makeManager(std::chrono::milliseconds(800));
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const rlimit limited{static_cast<rlim_t>(package.size() - 1), previous.rlim_max};
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    for (const auto& row : rows) {
        server.answer("/v.deb", row.answer);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, row.fileLimited ? &limited : &previous), 0);
        download(offer("/v.deb"));
        setrlimit(RLIMIT_FSIZE, &previous);
        EXPECT_TRUE(alertTexts().last().startsWith(row.told))
            << row.name << ": " << alertTexts().last().toStdString();
        expectEarlierImageAlone(row.name);
    }
    EXPECT_EQ(server.requestCount("/signed-by-another.deb"), 1);
    // An older release, validly signed for its own version, offered as 2.0.
    AppVersion rollback = offer("/v.deb");
    rollback.signature = releaseKey.sign(package, "1.4");
    server.answer("/v.deb", {.body = package});
    download(rollback);
    EXPECT_EQ(alertTexts().last(), "update_not_verified_title: update_not_verified_message");
    expectEarlierImageAlone("rollback");
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(server.requestCount("/elsewhere.deb"), 0);
    // A manager gone mid-download leaves nothing behind.
    server.answer("/v.deb", {.body = package, .cutAfter = 1024});
    const qsizetype requested = server.requestCount("/v.deb"); // Qt at times asks twice for a refused one
    manager->downloadAndInstallUpdate(offer("/v.deb"));
    ASSERT_TRUE(test::waitUntil([&] { return server.requestCount("/v.deb") > requested; }));
    manager.reset();
    expectEarlierImageAlone("manager gone");
}

} // namespace
