#include "diagnostics/Logger.h"
#include "settings/Constants.h"
#include "settings/InMemorySettingsStore.h"
#include "support/CapturedOutput.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

class LoggerTest : public ::testing::Test {
protected:
    void SetUp() override { SettingsStore::setStandard(store); }
    void TearDown() override { SettingsStore::setStandard(nullptr); }
    void setModes(bool debug, bool usage) {
        store->setBool(Constants::enableDebugMode, debug);
        store->setBool(Constants::enableUsageStats, usage);
    }
    static Error sampleError() { return {QStringLiteral("VelmoraUpdates"), 7, QStringLiteral("The feed is gone")}; }

    std::shared_ptr<InMemorySettingsStore> store = std::make_shared<InMemorySettingsStore>();
    test::CapturedOutput output;
};

TEST_F(LoggerTest, DebugModeOffSilencesEverythingButErrors) {
    setModes(false, true);
    Logger::log(QStringLiteral("hidden"));
    Logger::logNetworkRequest({QUrl(QStringLiteral("https://example.test/version.json")), {}, {}, {}});
    Logger::trackEvent(QStringLiteral("app_launched"));
    Logger::logError(sampleError());
    ASSERT_EQ(output.lines().size(), 1);
    EXPECT_TRUE(output.lines().first().startsWith(QStringLiteral("❌ [")));
}

TEST_F(LoggerTest, TraceLineHasTimeFileLineFunctionAndMessage) {
    setModes(true, false);
    const int line = __LINE__ + 1;
    Logger::log(QStringLiteral("Hello %1 world"));
    ASSERT_EQ(output.lines().size(), 1);
    const QRegularExpression format(QStringLiteral(
        "^🐛 \\[\\d\\d:\\d\\d:\\d\\d\\.\\d{3}\\] \\[LoggerTest\\.cpp:(\\d+)\\] (.+): Hello %1 world$"));
    const auto match = format.match(output.lines().first());
    ASSERT_TRUE(match.hasMatch()) << output.lines().first().toStdString();
    EXPECT_EQ(match.captured(1).toInt(), line);
    EXPECT_EQ(match.captured(2), QStringLiteral("TestBody()"));
}

TEST_F(LoggerTest, ExplicitFileKeepsOnlyThePartAfterTheLastSlash) {
    setModes(true, false);
    Logger::log(QStringLiteral("m"), QStringLiteral("/a/b/c/AppDelegate.cpp"), QStringLiteral("quitApp()"), 7);
    Logger::log(QStringLiteral("m"), QStringLiteral("NoSlash.cpp"), QStringLiteral("f()"), 12);
    Logger::log(QStringLiteral("m"), QStringLiteral("dir/"), QStringLiteral("f()"), 1);
    const QStringList lines = output.lines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("] [AppDelegate.cpp:7] quitApp(): m")));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("] [NoSlash.cpp:12] f(): m")));
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral("] [:1] f(): m")));
}

TEST_F(LoggerTest, OperationNamesAreShortenedFromCompilerSignatures) {
    EXPECT_EQ(Logger::operationName("void velmora::resetAllSettings()"), QStringLiteral("resetAllSettings()"));
    EXPECT_EQ(Logger::operationName("void velmora::UpdateManager::checkForUpdates(bool)"),
              QStringLiteral("checkForUpdates()"));
    EXPECT_EQ(Logger::operationName("velmora::AppDelegate::initializeApp()::<lambda()>"),
              QStringLiteral("initializeApp()"));
    EXPECT_EQ(Logger::operationName("std::optional<QList<int> > velmora::X::list(int) const"),
              QStringLiteral("list()"));
    EXPECT_EQ(Logger::operationName("int main(int, char**)"), QStringLiteral("main()"));
}

TEST_F(LoggerTest, ErrorLineAlwaysAndDetailsOnlyInDebugMode) {
    setModes(false, false);
    Logger::logError(sampleError(), QStringLiteral("/src/updates/UpdateManager.cpp"), QStringLiteral("f()"), 3);
    setModes(true, false);
    Logger::logError(sampleError(), QStringLiteral("/src/updates/UpdateManager.cpp"), QStringLiteral("f()"), 3);
    const QStringList lines = output.lines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("❌ [")));
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("] [UpdateManager.cpp:3] f(): The feed is gone")));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("❌ [")));
    EXPECT_EQ(lines[2], QStringLiteral("   Error details: Error Domain=VelmoraUpdates Code=7 \"The feed is gone\""));
}

TEST_F(LoggerTest, UsageEventsNeedBothSwitches) {
    for (const auto& [debug, usage] : {std::pair{false, false}, {false, true}, {true, false}}) {
        setModes(debug, usage);
        Logger::trackEvent(QStringLiteral("layout_switched"), {{QStringLiteral("direction"), "to_english"}});
    }
    EXPECT_TRUE(output.lines().isEmpty());
}

TEST_F(LoggerTest, UsageEventWithParametersWritesTwoLines) {
    setModes(true, true);
    Logger::trackEvent(QStringLiteral("layout_switched"), {{QStringLiteral("direction"), "to_english"}});
    Logger::trackEvent(QStringLiteral("app_launched"));
    const QStringList lines = output.lines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(QRegularExpression(QStringLiteral(
                    "^📊 \\[\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\] Analytics: layout_switched$"))
                    .match(lines[0])
                    .hasMatch())
        << lines[0].toStdString();
    EXPECT_EQ(lines[1], QStringLiteral("   Parameters: [\"direction\": \"to_english\"]"));
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral("] Analytics: app_launched")));
}

TEST_F(LoggerTest, ParametersRenderStringsQuotedAndBooleansBare) {
    EXPECT_EQ(Logger::renderDictionary(EventParameters{{QStringLiteral("granted"), false},
                                                       {QStringLiteral("new_version"), "2.0"}}),
              QStringLiteral("[\"granted\": false, \"new_version\": \"2.0\"]"));
    EXPECT_EQ(Logger::renderDictionary(EventParameters{}), QStringLiteral("[]"));
    EXPECT_EQ(Logger::renderDictionary(QList<QPair<QString, QString>>{{"Accept", "application/json"}}),
              QStringLiteral("[\"Accept\": \"application/json\"]"));
}

TEST_F(LoggerTest, NetworkDumpDefaultsAndOptionalLines) {
    setModes(true, false);
    Logger::logNetworkRequest(HttpRequestRecord{});
    QStringList lines = output.lines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^🌐 \\[\\d\\d:\\d\\d:\\d\\d\\.\\d{3}\\] Network Request:$"))
                    .match(lines[0])
                    .hasMatch());
    EXPECT_EQ(lines[1], QStringLiteral("   URL: Unknown"));
    EXPECT_EQ(lines[2], QStringLiteral("   Method: GET"));

    output.clear();
    HttpRequestRecord request{QUrl(QStringLiteral("https://example.test/version.json")), QStringLiteral("POST"),
                              {{QStringLiteral("Accept"), QStringLiteral("application/json")}},
                              QByteArray("{\"a\":1}")};
    Logger::logNetworkRequest(request, HttpResponseRecord{true, 404}, QByteArray("not found"),
                              Error{QStringLiteral("Net"), 1, QStringLiteral("Not Found")});
    EXPECT_EQ(output.lines().mid(1),
              (QStringList{"   URL: https://example.test/version.json", "   Method: POST",
                           "   Headers: [\"Accept\": \"application/json\"]", "   Body: {\"a\":1}",
                           "   Response Code: 404", "   Error: Not Found", "   Response: not found"}));

    output.clear();
    request.body = QByteArray("\xff\xfe\x80", 3);
    Logger::logNetworkRequest(request, HttpResponseRecord{false, 0}, QByteArray("\xc3\x28", 2));
    EXPECT_EQ(output.lines().mid(1), (QStringList{"   URL: https://example.test/version.json", "   Method: POST",
                                                  "   Headers: [\"Accept\": \"application/json\"]"}));
}

} // namespace
