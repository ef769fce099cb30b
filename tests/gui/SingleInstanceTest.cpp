#include "app/SingleInstance.h"
#include "support/WaitUntil.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

// A stale socket file does not block the first instance; every later one
// hands a reopen to it, whatever display server it was started for; once
// the first is gone, the next one is first.
TEST(SingleInstanceTest, LaterClaimsHandReopenToTheFirst) {
    QTemporaryDir runtime;
    int reopens = 0;
    {
        qputenv("DISPLAY", ":0");
        SingleInstance first(runtime.path());
        QFile stale(first.socketPath());
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        stale.close();
        first.setReopenHandler([&] { ++reopens; });
        ASSERT_TRUE(first.claim());
        qunsetenv("DISPLAY");
        qputenv("WAYLAND_DISPLAY", "wayland-1");
        for (int later = 1; later <= 2; ++later) {
            SingleInstance second(runtime.path());
            EXPECT_FALSE(second.claim());
            EXPECT_TRUE(second.reopenDelivered());
            EXPECT_TRUE(test::waitUntil([&] { return reopens == later; }));
        }
        qunsetenv("WAYLAND_DISPLAY");
    }
    EXPECT_TRUE(SingleInstance(runtime.path()).claim());
}

} // namespace
