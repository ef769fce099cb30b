#include "UpdateManagerFixture.h"

#include "localization/LocalizationManager.h"
#include "platform/Platform.h"
#include "settings/Constants.h"
#include "support/WaitUntil.h"

using namespace velmora;
using velmora::test::ScriptedAnswer;

namespace {

class UpdateCheckTest : public test::UpdateManagerFixture {
protected:
    // The alert that was shown last, as title, message and buttons.
    QStringList lastAlert() const {
        if (alerts->shown().isEmpty())
            return {};
        const Alert& alert = alerts->shown().last();
        return QStringList{alert.messageText, alert.informativeText} + alert.buttons;
    }
    bool checkedRecently() const { return store->hasObject(Constants::lastUpdateCheck); }
};

TEST_F(UpdateCheckTest, UserStartedCheckOffersANewerVersionAndRemembersIt) {
    serveFeed(feed(QStringLiteral("2.0")));
    alerts->answerWith(AlertResponse::thirdButton); // remind me later

    check(false);

    const AppVersion offered{QStringLiteral("Velmora 2.0"), QStringLiteral("2.0"),
                             QStringLiteral("https://example.invalid/v.deb")};
    EXPECT_EQ(lastAlert(), (QStringList{"update_available_title", "offer Velmora 2.0|1.5|2.0", "download",
                                        "skip_version", "remind_later"}));
    EXPECT_EQ(alerts->shown().size(), 1);
    ASSERT_EQ(posted.size(), 1);
    EXPECT_EQ(posted.first().value<AppVersion>(), offered);
    // "Remind me later" keeps the offer and stores nothing.
    EXPECT_EQ(manager->updateAvailable(), offered);
    EXPECT_FALSE(store->hasObject(Constants::skipUpdateVersion));
    EXPECT_EQ(store->dateForKey(Constants::lastUpdateCheck), now);
    EXPECT_EQ(events(), (QStringList{"update_check_started", "update_available"}));
    EXPECT_TRUE(output.lines().contains(
        QStringLiteral("   Parameters: [\"new_version\": \"2.0\", \"current_version\": \"1.5\"]")));
    EXPECT_TRUE(traced().contains(QStringLiteral("Received version info: 2.0")));
    EXPECT_TRUE(machine->launchedFiles.isEmpty());
}

TEST_F(UpdateCheckTest, AutomaticCheckRecordsANewerVersionWithoutAnyAlert) {
    serveFeed(feed(QStringLiteral("1.10")));
    runningVersion = QStringLiteral("1.9");
    makeManager();

    check(true);

    EXPECT_TRUE(alerts->shown().isEmpty());
    ASSERT_TRUE(manager->updateAvailable().has_value());
    EXPECT_EQ(manager->updateAvailable()->version, QStringLiteral("1.10"));
    EXPECT_EQ(posted.size(), 1);
    EXPECT_EQ(store->dateForKey(Constants::lastUpdateCheck), now);
}

TEST_F(UpdateCheckTest, SameOrOlderVersionIsNotOfferedAndKeepsAnEarlierOffer) {
    runningVersion = QStringLiteral("1.10");
    for (const QString& version : {QStringLiteral("1.10"), QStringLiteral("1.9")}) {
        SCOPED_TRACE(version.toStdString());
        serveFeed(feed(version));
        store->removeObject(Constants::lastUpdateCheck);
        alerts = std::make_shared<ScriptedAlertPresenter>();
        Platform::current().alerts = alerts;
        output.clear();

        check(false);
        EXPECT_EQ(lastAlert(), (QStringList{"no_updates_title", "none 1.10", "ok_button"}));
        EXPECT_TRUE(traced().contains(QStringLiteral("No update available")));
        EXPECT_TRUE(checkedRecently());

        store->removeObject(Constants::lastUpdateCheck);
        check(true);
        EXPECT_EQ(alerts->shown().size(), 1) << "an automatic check shows nothing";
        EXPECT_TRUE(checkedRecently());
    }
    EXPECT_TRUE(posted.isEmpty());
    EXPECT_FALSE(manager->updateAvailable().has_value());

    // An offer found earlier survives a later check that finds nothing newer.
    serveFeed(feed(QStringLiteral("2.0")));
    check(true);
    serveFeed(feed(QStringLiteral("1.0")));
    check(true);
    ASSERT_TRUE(manager->updateAvailable().has_value());
    EXPECT_EQ(manager->updateAvailable()->version, QStringLiteral("2.0"));
}

TEST_F(UpdateCheckTest, SkippedVersionIsOfferedOnlyWhenTheUserAsks) {
    serveFeed(feed(QStringLiteral("2.0")));
    store->setString(Constants::skipUpdateVersion, QStringLiteral("2.0"));

    check(true);
    EXPECT_TRUE(alerts->shown().isEmpty());
    EXPECT_FALSE(manager->updateAvailable().has_value());
    EXPECT_TRUE(posted.isEmpty());
    EXPECT_TRUE(checkedRecently());
    EXPECT_TRUE(traced().contains(QStringLiteral("No update available")));

    alerts->answerWith(AlertResponse::thirdButton);
    check(false);
    ASSERT_EQ(alerts->shown().size(), 1);
    EXPECT_EQ(alerts->shown().first().messageText, QStringLiteral("update_available_title"));
    EXPECT_EQ(posted.size(), 1);
}

TEST_F(UpdateCheckTest, SkipButtonHidesOnlyThatVersion) {
    serveFeed(feed(QStringLiteral("2.0")));
    alerts->answerWith(AlertResponse::secondButton);
    check(false);
    EXPECT_EQ(store->stringForKey(Constants::skipUpdateVersion), QStringLiteral("2.0"));
    EXPECT_FALSE(manager->updateAvailable().has_value());
    EXPECT_TRUE(traced().contains(QStringLiteral("Skipped version: 2.0")));

    check(true);
    EXPECT_FALSE(manager->updateAvailable().has_value());

    serveFeed(feed(QStringLiteral("2.1")));
    check(true);
    ASSERT_TRUE(manager->updateAvailable().has_value());
    EXPECT_EQ(manager->updateAvailable()->version, QStringLiteral("2.1"));
    EXPECT_EQ(alerts->shown().size(), 1);
}

TEST_F(UpdateCheckTest, AFeedWithAnExtraMemberIsAccepted) {
    serveFeed(R"({"name": "Velmora 3", "version": "3.0", "url": "https://example.invalid/3.deb",
                  "notes": ["faster"], "size": 1234})");
    check(true);
    ASSERT_TRUE(manager->updateAvailable().has_value());
    EXPECT_EQ(manager->updateAvailable()->name, QStringLiteral("Velmora 3"));
}

struct UndecodableFeed {
    const char* label;
    ScriptedAnswer answer;
};

// The test's name says it; the bytes would only bury it.
void PrintTo(const UndecodableFeed& feed, std::ostream* out) {
    *out << feed.label;
}

// Valid except that it is too large: only the size limit refuses it.
QByteArray oversizedFeed() {
    return R"({"name": "Velmora 9", "version": "9.0", "url": "https://example.invalid/9.deb", "padding": ")" +
           QByteArray(5 * 1024 * 1024, 'x') + R"("})";
}

class UndecodableFeedTest : public UpdateCheckTest, public ::testing::WithParamInterface<UndecodableFeed> {};

TEST_P(UndecodableFeedTest, IsAParseFailureThatLeavesTheStateAlone) {
    server.answer("/version.json", GetParam().answer);
    store->setString(Constants::skipUpdateVersion, QStringLiteral("0.9"));

    check(true);
    EXPECT_TRUE(alerts->shown().isEmpty());
    EXPECT_EQ(errorLines().size(), 1);

    check(false);
    EXPECT_EQ(lastAlert(),
              (QStringList{"update_check_failed_title", "Failed to parse update information", "ok_button"}));
    EXPECT_EQ(alerts->shown().size(), 1);
    EXPECT_EQ(errorLines().size(), 2);

    EXPECT_FALSE(checkedRecently());
    EXPECT_FALSE(manager->updateAvailable().has_value());
    EXPECT_EQ(store->stringForKey(Constants::skipUpdateVersion), QStringLiteral("0.9"));
    EXPECT_TRUE(posted.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    FeedAnswers, UndecodableFeedTest,
    ::testing::Values(
        UndecodableFeed{"VersionIsANumber",
                        {.body = R"({"name": "Velmora 2", "version": 2.0, "url": "https://x.invalid/"})"}},
        UndecodableFeed{"UrlIsMissing", {.body = R"({"name": "Velmora 2", "version": "2.0"})"}},
        UndecodableFeed{"NameIsNull",
                        {.body = R"({"name": null, "version": "2.0", "url": "https://x.invalid/"})"}},
        UndecodableFeed{"EmptyBody", {.body = ""}},
        UndecodableFeed{
            "HtmlErrorPage",
            {.status = 500, .contentType = "text/html", .body = "<html><body>Oops</body></html>"}},
        UndecodableFeed{"NotFound",
                        {.status = 404, .contentType = "text/html", .body = "<h1>Not Found</h1>"}},
        UndecodableFeed{"FiveMebibytes", {.body = oversizedFeed()}}),
    [](const ::testing::TestParamInfo<UndecodableFeed>& info) { return std::string(info.param.label); });

TEST_F(UpdateCheckTest, ConnectionResetIsATransportFailure) {
    server.answer("/version.json", {.body = feed(QStringLiteral("2.0")), .resetAfterBodyBytes = 5});

    check(true);
    EXPECT_TRUE(alerts->shown().isEmpty());
    check(false);
    ASSERT_EQ(alerts->shown().size(), 1);
    EXPECT_EQ(alerts->shown().first().messageText, QStringLiteral("update_check_failed_title"));
    EXPECT_TRUE(
        alerts->shown().first().informativeText.startsWith(QStringLiteral("Failed to check for updates: ")))
        << alerts->shown().first().informativeText.toStdString();
    EXPECT_EQ(errorLines().size(), 2);
    EXPECT_FALSE(checkedRecently());
    EXPECT_FALSE(manager->updateAvailable().has_value());
}

TEST_F(UpdateCheckTest, ServerThatNeverAnswersTimesOut) {
    server.answer("/version.json", {.neverAnswer = true});
    auto shortened = dependencies();
    shortened.feedTimeout = std::chrono::milliseconds(300);
    makeManager(shortened);

    check(false);
    ASSERT_EQ(alerts->shown().size(), 1);
    EXPECT_EQ(alerts->shown().first().informativeText,
              QStringLiteral("Failed to check for updates: The request timed out."));
    EXPECT_FALSE(checkedRecently());
    // The guard is released, so the next request is a new check.
    serveFeed(feed(QStringLiteral("1.0")));
    check(false);
    EXPECT_EQ(alerts->shown().size(), 2);
    EXPECT_TRUE(checkedRecently());
}

TEST_F(UpdateCheckTest, SecondCheckIsIgnoredWhileOneRuns) {
    server.answer("/version.json",
                  {.body = feed(QStringLiteral("1.0")), .chunkSize = 8, .chunkIntervalMs = 40});
    makeManager();
    QList<bool> states;
    QObject::connect(manager.get(), &UpdateManager::isCheckingForUpdatesChanged,
                     [&](bool checking) { states.append(checking); });

    manager->checkForUpdates(false);
    ASSERT_TRUE(test::waitUntil([&] { return server.requestCount("/version.json") == 1; }));
    manager->checkForUpdates(false);
    manager->checkForUpdates(true);
    ASSERT_TRUE(waitUntilIdle());

    EXPECT_EQ(server.requests().size(), 1);
    EXPECT_EQ(alerts->shown().size(), 1);
    EXPECT_EQ(events(), QStringList{"update_check_started"});
    EXPECT_EQ(states, (QList<bool>{true, false}));
}

TEST_F(UpdateCheckTest, FeedRequestIsAPlainGetWithoutCacheHeaders) {
    serveFeed(feed(QStringLiteral("1.0")));
    check(true);
    ASSERT_EQ(server.requests().size(), 1);
    const test::LocalHttpServer::Request& request = server.requests().first();
    EXPECT_EQ(request.method, QByteArray("GET"));
    EXPECT_EQ(request.path, QByteArray("/version.json"));
    EXPECT_TRUE(request.header("Cache-Control").isEmpty());
    EXPECT_TRUE(request.header("Pragma").isEmpty());
    EXPECT_TRUE(request.header("Content-Length").isEmpty());
}

TEST_F(UpdateCheckTest, FeedAddressThatIsNotAcceptedEndsTheCheckAtOnce) {
    for (const QString& address : {QStringLiteral(""), QStringLiteral("not an address"),
                                   QStringLiteral("ftp://127.0.0.1/version.json"),
                                   QStringLiteral("http://example.invalid/version.json")}) {
        SCOPED_TRACE(address.toStdString());
        auto invalid = dependencies();
        invalid.feedAddress = address;
        makeManager(invalid);
        output.clear();

        manager->checkForUpdates(false);
        EXPECT_FALSE(manager->isCheckingForUpdates());
        EXPECT_EQ(traced(), (QStringList{"Starting update check", "Invalid version check URL"}));
    }
    EXPECT_TRUE(alerts->shown().isEmpty());
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(UpdateCheckTest, ResponseWithoutABody) {
    makeManager();
    manager->handleUpdateResponse(std::nullopt, std::nullopt, std::nullopt, true);
    EXPECT_TRUE(alerts->shown().isEmpty());
    manager->handleUpdateResponse(std::nullopt, std::nullopt, std::nullopt, false);
    EXPECT_EQ(lastAlert(),
              (QStringList{"update_check_failed_title", "No response from update server", "ok_button"}));
    EXPECT_EQ(traced(),
              (QStringList{"No data received from update check", "No data received from update check"}));
    EXPECT_FALSE(checkedRecently());
}

TEST_F(UpdateCheckTest, ManagerGoneBeforeTheAnswerDropsIt) {
    server.answer("/version.json",
                  {.body = feed(QStringLiteral("2.0")), .chunkSize = 8, .chunkIntervalMs = 30});
    makeManager();
    manager->checkForUpdates(false);
    ASSERT_TRUE(test::waitUntil([&] { return server.requestCount("/version.json") == 1; }));
    manager.reset();
    test::settle(600);
    EXPECT_TRUE(alerts->shown().isEmpty());
    EXPECT_TRUE(posted.isEmpty());
    EXPECT_FALSE(checkedRecently());
}

TEST_F(UpdateCheckTest, OfferReadsWellInEnglish) {
    store->setString(Constants::appLanguage, QStringLiteral("en"));
    LocalizationManager::shared().setCurrentLanguage(QStringLiteral("en"));
    auto english = dependencies();
    english.localizedString = [](const QString& key) {
        return LocalizationManager::shared().localizedString(key);
    };
    makeManager(english);
    serveFeed(
        AppVersion{QStringLiteral("Velmora 2.0"), QStringLiteral("2.0"), QStringLiteral("https://x.invalid/")}
            .encode());
    alerts->answerWith(AlertResponse::thirdButton);

    check(false);
    ASSERT_EQ(alerts->shown().size(), 1);
    const Alert& offer = alerts->shown().first();
    EXPECT_EQ(offer.messageText, QStringLiteral("Update Available"));
    EXPECT_EQ(offer.informativeText, QStringLiteral("Velmora 2.0 is available (version 2.0). You have version 1.5."));
    EXPECT_EQ(offer.buttons, (QStringList{"Download", "Skip This Version", "Remind Me Later"}));
}

} // namespace
