#include "diagnostics/Logger.h"
#include "settings/Constants.h"
#include "settings/InMemorySettingsStore.h"
#include "support/CapturedOutput.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

class LoggerTest : public ::testing::Test {
protected:
    void SetUp() override { SettingsStore::setStandard(store); }
    void TearDown() override { SettingsStore::setStandard(nullptr); }
    // The trace of `write` with the switches named in `on`, every digit of the clock reading as 0.
    std::string trace(const QString& on, void (*write)()) {
        store->setBool(Constants::enableDebugMode, on.contains(QStringLiteral("debug")));
        store->setBool(Constants::enableUsageStats, on.contains(QStringLiteral("usage")));
        test::CapturedOutput output;
        write();
        QStringList lines = output.lines();
        for (QString& line : lines)
            for (qsizetype i = 0; i < line.indexOf(u']'); ++i)
                line[i] = line[i].isDigit() ? u'0' : line[i];
        return lines.join(u'\n').toStdString();
    }
    std::shared_ptr<InMemorySettingsStore> store = std::make_shared<InMemorySettingsStore>();
};

const Error feedGone{QStringLiteral("VelmoraUpdates"), 7, QStringLiteral("The feed is gone")};

struct TraceCase {
    const char* switches;
    void (*write)();
    const char* trace;
};

// One exact trace per format, then what the debug and usage switches let through.
const TraceCase traceCases[] = {
    {"debug", [] { Logger::log("Hello %1", "/src/app/AppDelegate.cpp", "quitApp()", 7); },
     "🐛 [00:00:00.000] [AppDelegate.cpp:7] quitApp(): Hello %1"},
    {"debug", [] { Logger::logError(feedGone, "UpdateManager.cpp", "check()", 3); },
     "❌ [00:00:00.000] [UpdateManager.cpp:3] check(): The feed is gone\n"
     "   Error details: Error Domain=VelmoraUpdates Code=7 \"The feed is gone\""},
    {"debug",
     [] {
         Logger::logNetworkRequest(
             {QUrl("https://example.test/v.json"), "POST", {{"Accept", "text/plain"}}, "{}"},
             HttpResponseRecord{true, 404}, "gone", Error{"Net", 1, "Not Found"});
     },
     "🌐 [00:00:00.000] Network Request:\n   URL: https://example.test/v.json\n   Method: POST\n"
     "   Headers: [\"Accept\": \"text/plain\"]\n   Body: {}\n   Response Code: 404\n   Error: Not Found\n"
     "   Response: gone"},
    {"debug usage",
     [] {
         Logger::trackEvent("switched", {{"to", "en"}, {"granted", false}});
     },
     "📊 [0000-00-00 00:00:00] Analytics: switched\n   Parameters: [\"to\": \"en\", \"granted\": false]"},
    {"usage",
     [] {
         Logger::log("m", "a.cpp", "f()", 1);
         Logger::log("m");
         Logger::logNetworkRequest({});
         Logger::trackEvent("e");
         Logger::logError(feedGone, "a.cpp", "f()", 1);
     },
     "❌ [00:00:00.000] [a.cpp:1] f(): The feed is gone"},
    {"debug", // without usage statistics, and without the request's parts or any text
     [] {
         Logger::trackEvent("e");
         Logger::logNetworkRequest({{}, {}, {}, "\xff"}, {}, "\xc3\x28");
     },
     "🌐 [00:00:00.000] Network Request:\n   URL: Unknown\n   Method: GET"},
};

TEST_F(LoggerTest, eachFormatAndWhatTheSwitchesLetThrough) {
    for (const TraceCase& row : traceCases)
        EXPECT_EQ(trace(QString::fromLatin1(row.switches), row.write), row.trace);
}

TEST_F(LoggerTest, theCallerIsNamedByItsFileLineAndOperation) {
    const int line = __LINE__ + 1;
    const std::string traced = trace(QStringLiteral("debug"), [] { Logger::log("m"); });
    EXPECT_EQ(traced,
              QStringLiteral("🐛 [00:00:00.000] [LoggerTest.cpp:%1] TestBody(): m").arg(line).toStdString());
    EXPECT_EQ(Logger::operationName("std::optional<QList<int> > velmora::X::list(int) const"), "list()");
}

} // namespace
