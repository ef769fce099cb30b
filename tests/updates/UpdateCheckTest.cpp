// The update check against a real HTTP server on 127.0.0.1.
#include "UpdateManagerFixture.h"

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
        {"closed early", {.body = feed, .cutAfter = 20}, failed + "Connection closed"},
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
        EXPECT_EQ(alertTexts().last().toStdString(), ("update_check_failed_title: " + row.told).toStdString())
            << row.name;
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

TEST_F(UpdateCheckTest, FeedAddressThatIsNotAcceptedEndsTheCheckAtOnce) {
    auto refused = dependencies();
    refused.feedAddress = QStringLiteral("http://example.invalid/version.json");
    makeManager(refused);
    manager->checkForUpdates(false);
    EXPECT_FALSE(manager->isCheckingForUpdates());
    EXPECT_EQ(traced("🐛"), (QStringList{"Starting update check", "Invalid version check URL"}));
    EXPECT_TRUE(alerts->shown().isEmpty());
}

} // namespace
