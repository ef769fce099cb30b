#include "app/SingleInstance.h"
#include "support/WaitUntil.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

TEST(SingleInstanceTest, SecondClaimHandsReopenToTheFirst) {
    QTemporaryDir runtime;
    SingleInstance first(runtime.path(), QStringLiteral(":0"));
    int reopens = 0;
    first.setReopenHandler([&] { ++reopens; });
    ASSERT_TRUE(first.claim());

    SingleInstance second(runtime.path(), QStringLiteral(":0"));
    EXPECT_FALSE(second.claim());
    EXPECT_TRUE(second.reopenDelivered());
    EXPECT_TRUE(test::waitUntil([&] { return reopens == 1; }));

    SingleInstance third(runtime.path(), QStringLiteral(":0"));
    EXPECT_FALSE(third.claim());
    EXPECT_TRUE(test::waitUntil([&] { return reopens == 2; }));
}

TEST(SingleInstanceTest, EachDisplayHasItsOwnInstance) {
    QTemporaryDir runtime;
    SingleInstance onZero(runtime.path(), QStringLiteral(":0"));
    SingleInstance onOne(runtime.path(), QStringLiteral(":1"));
    EXPECT_TRUE(onZero.claim());
    EXPECT_TRUE(onOne.claim());
    EXPECT_NE(onZero.socketPath(), onOne.socketPath());
}

TEST(SingleInstanceTest, StaleSocketFileDoesNotBlockTheFirstInstance) {
    QTemporaryDir runtime;
    SingleInstance first(runtime.path(), QStringLiteral(":5"));
    QFile stale(first.socketPath());
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    int reopens = 0;
    first.setReopenHandler([&] { ++reopens; });
    ASSERT_TRUE(first.claim());
    SingleInstance second(runtime.path(), QStringLiteral(":5"));
    EXPECT_FALSE(second.claim());
    EXPECT_TRUE(test::waitUntil([&] { return reopens == 1; }));
}

TEST(SingleInstanceTest, ReleasedInstanceLetsTheNextOneIn) {
    QTemporaryDir runtime;
    {
        SingleInstance first(runtime.path(), QStringLiteral(":0"));
        ASSERT_TRUE(first.claim());
    }
    SingleInstance next(runtime.path(), QStringLiteral(":0"));
    EXPECT_TRUE(next.claim());
}

TEST(SingleInstanceTest, DisplayNamesCannotEscapeTheRuntimeFolder) {
    QTemporaryDir runtime;
    SingleInstance odd(runtime.path(), QStringLiteral("../../etc/x:0"));
    EXPECT_TRUE(odd.socketPath().startsWith(runtime.path() + QStringLiteral("/velmora-")));
    EXPECT_FALSE(odd.socketPath().mid(runtime.path().size() + 1).contains(QLatin1Char('/')));
}

} // namespace
