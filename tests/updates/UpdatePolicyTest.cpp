#include "UpdateManagerFixture.h"

#include "settings/Constants.h"
#include "updates/UpdatePolicy.h"

#include <ctime>

using namespace velmora;

namespace {

TEST(UpdatePolicyTest, NewerFollowsTheVersionOrderUnlessTheUserSkippedIt) {
    const struct {
        const char* running;
        const char* offered;
        const char* skipped;
        bool ignoreSkipped;
        bool newer;
    } cases[] = {
        {"1.9", "1.10", nullptr, false, true},
        {"1.0", "1.0.0", nullptr, false, true},
        {"1.10", "1.9", nullptr, false, false},
        {"1.5", "1.5", nullptr, false, false},
        {"1.5", "1.05", nullptr, false, false},
        {"1.0", "2.0", "2.0", false, false},
        {"1.0", "2.0", "2.0", true, true}, // a check the user started
        {"2.0", "2.0", "2.0", true, false},
        // Skipping compares whole strings exactly, not versions.
        {"1.0", "2.00", "2.0", false, true},
        {"1.0", "2.1", "2.0", false, true},
    };
    for (const auto& c : cases) {
        const std::optional<QString> skipped =
            c.skipped != nullptr ? std::optional(QString::fromLatin1(c.skipped)) : std::nullopt;
        EXPECT_EQ(UpdatePolicy::isNewer(QString::fromLatin1(c.running), QString::fromLatin1(c.offered),
                                        skipped, c.ignoreSkipped),
                  c.newer)
            << c.running << " → " << c.offered << " skipped " << (c.skipped ? c.skipped : "none")
            << (c.ignoreSkipped ? " (ignored)" : "");
    }
    EXPECT_EQ(UpdatePolicy::runningVersion(QString()), QStringLiteral("1.0"));
    EXPECT_EQ(UpdatePolicy::runningVersion(QStringLiteral("2.3")), QStringLiteral("2.3"));
}

// Whether an automatic check is due, in whole calendar days of the local
// time zone, fixed here so that daylight-saving changes fall on known dates.
class UpdateScheduleTest : public test::UpdateManagerFixture {
protected:
    void SetUp() override {
        test::UpdateManagerFixture::SetUp();
        previousZone_ = qgetenv("TZ");
        hadZone_ = qEnvironmentVariableIsSet("TZ");
        qputenv("TZ", "Europe/Berlin");
        tzset();
    }
    void TearDown() override {
        if (hadZone_)
            qputenv("TZ", previousZone_);
        else
            qunsetenv("TZ");
        tzset();
        test::UpdateManagerFixture::TearDown();
    }
    static QDateTime local(int year, int month, int day, int hour, int minute = 0) {
        return QDateTime(QDate(year, month, day), QTime(hour, minute), Qt::LocalTime);
    }

private:
    QByteArray previousZone_;
    bool hadZone_ = false;
};

TEST_F(UpdateScheduleTest, DueAfterAWholeCalendarDay) {
    const QDateTime current = local(2024, 6, 10, 9);
    // Spring forward on 31 March 2024 makes noon to noon 23 hours; falling
    // back on 27 October makes it 25, and 24.5 hours are not yet a day.
    const QDateTime spring = local(2024, 3, 30, 12);
    const QDateTime autumn = local(2024, 10, 26, 12);
    ASSERT_EQ(spring.secsTo(local(2024, 3, 31, 12)), 23 * 3600) << "the time zone did not take effect";
    ASSERT_EQ(autumn.secsTo(local(2024, 10, 27, 12)), 25 * 3600);
    // 22:30 UTC on 9 June is 00:30 on 10 June in Berlin.
    const QDateTime utc(QDate(2024, 6, 9), QTime(22, 30), Qt::UTC);
    const struct {
        const char* label;
        bool automaticUpdates;
        std::optional<QDateTime> lastCheck;
        QDateTime now;
        bool due;
    } cases[] = {
        {"never checked", true, std::nullopt, current, true},
        {"unreadable date", true, QDateTime(), current, true},
        {"automatic updates off", false, current.addDays(-400), current, false},
        {"off and never checked", false, std::nullopt, current, false},
        {"23 hours, date changed", true, current.addSecs(-23 * 3600), current, false},
        {"a second short of a day", true, current.addSecs(-24 * 3600 + 1), current, false},
        {"24 hours", true, current.addSecs(-24 * 3600), current, true},
        {"25 hours", true, current.addSecs(-25 * 3600), current, true},
        {"400 days", true, current.addDays(-400), current, true},
        {"just now", true, current, current, false},
        {"spring, noon to noon", true, spring, local(2024, 3, 31, 12), true},
        {"spring, a minute short", true, spring, local(2024, 3, 31, 11, 59), false},
        {"autumn, noon to noon", true, autumn, local(2024, 10, 27, 12), true},
        {"autumn, 24.5 hours", true, autumn, autumn.addSecs(24 * 3600 + 1800), false},
        {"stored in UTC, same local day", true, utc, local(2024, 6, 10, 8, 30), false},
        {"stored in UTC, next local day", true, utc, local(2024, 6, 11, 0, 30), true},
        {"a minute ahead", true, current.addSecs(60), current, false},
        {"days ahead", true, current.addDays(3), current, false},
        {"years ahead", true, current.addYears(5), current, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UpdatePolicy::isDue(c.automaticUpdates, c.lastCheck, c.now), c.due) << c.label;
}

TEST_F(UpdateScheduleTest, ManagerDecidesOnTheSettingsAndItsClock) {
    makeManager();
    EXPECT_TRUE(manager->shouldCheckForUpdates());
    store->setString(Constants::lastUpdateCheck, QStringLiteral("yesterday"));
    EXPECT_TRUE(manager->shouldCheckForUpdates());
    store->setObject(Constants::lastUpdateCheck, 42);
    EXPECT_TRUE(manager->shouldCheckForUpdates());
    store->setDate(Constants::lastUpdateCheck, now.addSecs(-23 * 3600));
    EXPECT_FALSE(manager->shouldCheckForUpdates());
    now = now.addSecs(3600);
    EXPECT_TRUE(manager->shouldCheckForUpdates());
    store->setBool(Constants::enableAutoUpdates, false);
    EXPECT_FALSE(manager->shouldCheckForUpdates());
    // An absent switch reads false like every absent Boolean.
    store->removeObject(Constants::enableAutoUpdates);
    EXPECT_FALSE(manager->shouldCheckForUpdates());

    runningVersion.clear();
    EXPECT_EQ(manager->currentVersion(), QStringLiteral("1.0"));
    EXPECT_TRUE(manager->isNewerVersion(QStringLiteral("1.0.0"), false));
    store->setString(Constants::skipUpdateVersion, QStringLiteral("2.0"));
    EXPECT_FALSE(manager->isNewerVersion(QStringLiteral("2.0"), false));
    EXPECT_TRUE(manager->isNewerVersion(QStringLiteral("2.0"), true));
}

} // namespace
