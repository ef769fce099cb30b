#include "UpdateManagerFixture.h"

#include "settings/Constants.h"

#include <ctime>

using namespace velmora;

namespace {

// Whether an automatic check is due, in whole calendar days of the local time
// zone. The zone is fixed for these tests so that daylight-saving changes
// fall on known dates.
class UpdateScheduleTest : public test::UpdateManagerFixture {
protected:
    void SetUp() override {
        test::UpdateManagerFixture::SetUp();
        previousZone_ = qgetenv("TZ");
        hadZone_ = qEnvironmentVariableIsSet("TZ");
        qputenv("TZ", "Europe/Berlin");
        tzset();
        makeManager();
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
    bool dueAfter(const QDateTime& lastCheck, const QDateTime& current) {
        store->setDate(Constants::lastUpdateCheck, lastCheck);
        now = current;
        return manager->shouldCheckForUpdates();
    }

private:
    QByteArray previousZone_;
    bool hadZone_ = false;
};

TEST_F(UpdateScheduleTest, NeverCheckedOrUnreadableDateIsDue) {
    EXPECT_TRUE(manager->shouldCheckForUpdates());
    store->setString(Constants::lastUpdateCheck, QStringLiteral("yesterday"));
    EXPECT_TRUE(manager->shouldCheckForUpdates());
    store->setObject(Constants::lastUpdateCheck, 42);
    EXPECT_TRUE(manager->shouldCheckForUpdates());
}

TEST_F(UpdateScheduleTest, AutomaticUpdatesOffIsNeverDue) {
    store->setBool(Constants::enableAutoUpdates, false);
    EXPECT_FALSE(manager->shouldCheckForUpdates());
    EXPECT_FALSE(dueAfter(local(2020, 1, 1, 9), local(2024, 6, 10, 9)));
    // An absent switch reads false like every absent Boolean.
    store->removeObject(Constants::enableAutoUpdates);
    EXPECT_FALSE(manager->shouldCheckForUpdates());
}

TEST_F(UpdateScheduleTest, CountsWholeDaysNotDateChanges) {
    const QDateTime current = local(2024, 6, 10, 9);
    EXPECT_FALSE(dueAfter(current.addSecs(-23 * 3600), current))
        << "the date changed, but no whole day passed";
    EXPECT_FALSE(dueAfter(current.addSecs(-24 * 3600 + 1), current));
    EXPECT_TRUE(dueAfter(current.addSecs(-24 * 3600), current));
    EXPECT_TRUE(dueAfter(current.addSecs(-25 * 3600), current));
    EXPECT_TRUE(dueAfter(current.addDays(-400), current));
    EXPECT_FALSE(dueAfter(current, current));
}

TEST_F(UpdateScheduleTest, SameClockTimeNextDayIsOneDayAcrossDaylightSavingChanges) {
    // Spring forward on 31 March 2024: noon to noon is 23 hours.
    const QDateTime springBefore = local(2024, 3, 30, 12);
    const QDateTime springAfter = local(2024, 3, 31, 12);
    ASSERT_EQ(springBefore.secsTo(springAfter), 23 * 3600) << "the time zone did not take effect";
    EXPECT_TRUE(dueAfter(springBefore, springAfter));
    EXPECT_FALSE(dueAfter(springBefore, local(2024, 3, 31, 11, 59)));

    // Fall back on 27 October 2024: noon to noon is 25 hours, and 24.5 hours
    // are not yet a whole day.
    const QDateTime autumnBefore = local(2024, 10, 26, 12);
    const QDateTime autumnAfter = local(2024, 10, 27, 12);
    ASSERT_EQ(autumnBefore.secsTo(autumnAfter), 25 * 3600);
    EXPECT_TRUE(dueAfter(autumnBefore, autumnAfter));
    const QDateTime afterTwentyFourAndAHalfHours = autumnBefore.addSecs(24 * 3600 + 1800);
    EXPECT_FALSE(dueAfter(autumnBefore, afterTwentyFourAndAHalfHours));
}

TEST_F(UpdateScheduleTest, DateStoredInAnotherZoneCountsInTheLocalOne) {
    // 22:30 UTC on 9 June is 00:30 on 10 June in Berlin: 08:30 on 10 June
    // is the same calendar day there, so nothing is due.
    const QDateTime utc(QDate(2024, 6, 9), QTime(22, 30), Qt::UTC);
    EXPECT_FALSE(dueAfter(utc, local(2024, 6, 10, 8, 30)));
    EXPECT_TRUE(dueAfter(utc, local(2024, 6, 11, 0, 30)));
}

TEST_F(UpdateScheduleTest, FutureDateIsNeverDue) {
    const QDateTime current = local(2024, 6, 10, 9);
    EXPECT_FALSE(dueAfter(current.addSecs(60), current));
    EXPECT_FALSE(dueAfter(current.addDays(3), current));
    EXPECT_FALSE(dueAfter(current.addYears(5), current));
}

} // namespace
