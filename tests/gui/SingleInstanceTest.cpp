#include "app/SingleInstance.h"
#include "support/WaitUntil.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

TEST(SingleInstanceTest, SecondClaimHandsReopenToTheFirst) {
    QTemporaryDir runtime;
    SingleInstance first(runtime.path());
    int reopens = 0;
    first.setReopenHandler([&] { ++reopens; });
    ASSERT_TRUE(first.claim());

    SingleInstance second(runtime.path());
    EXPECT_FALSE(second.claim());
    EXPECT_TRUE(second.reopenDelivered());
    EXPECT_TRUE(test::waitUntil([&] { return reopens == 1; }));

    SingleInstance third(runtime.path());
    EXPECT_FALSE(third.claim());
    EXPECT_TRUE(test::waitUntil([&] { return reopens == 2; }));
}

// X11 and Wayland launches of one session meet the same instance.
TEST(SingleInstanceTest, DisplayServerDoesNotSplitTheSession) {
    QTemporaryDir runtime;
    qputenv("DISPLAY", ":0");
    SingleInstance onX11(runtime.path());
    ASSERT_TRUE(onX11.claim());
    qunsetenv("DISPLAY");
    qputenv("WAYLAND_DISPLAY", "wayland-1");
    SingleInstance onWayland(runtime.path());
    EXPECT_FALSE(onWayland.claim());
    qunsetenv("WAYLAND_DISPLAY");
}

TEST(SingleInstanceTest, StaleSocketFileDoesNotBlockTheFirstInstance) {
    QTemporaryDir runtime;
    SingleInstance first(runtime.path());
    QFile stale(first.socketPath());
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    int reopens = 0;
    first.setReopenHandler([&] { ++reopens; });
    ASSERT_TRUE(first.claim());
    SingleInstance second(runtime.path());
    EXPECT_FALSE(second.claim());
    EXPECT_TRUE(test::waitUntil([&] { return reopens == 1; }));
}

TEST(SingleInstanceTest, ReleasedInstanceLetsTheNextOneIn) {
    QTemporaryDir runtime;
    {
        SingleInstance first(runtime.path());
        ASSERT_TRUE(first.claim());
    }
    SingleInstance next(runtime.path());
    EXPECT_TRUE(next.claim());
}

} // namespace
