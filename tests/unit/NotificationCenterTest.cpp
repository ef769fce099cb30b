#include "settings/NotificationCenter.h"
#include "support/WaitUntil.h"

#include <QThread>

#include <gtest/gtest.h>

#include <thread>

using namespace velmora;

namespace {

// Posts reach the observers of their name with their object, on the main thread; removing an observer, even
// from a handler during delivery, drops all its names.
TEST(NotificationCenterTest, postsReachTheirObserversOnTheMainThreadUntilRemoved) {
    NotificationCenter center;
    int first = 0, second = 0;
    QStringList seen;
    center.addObserver(&first, "A",
                       [&](const QVariant& object) { seen.append("first " + object.toString()); });
    center.addObserver(&first, "B", [&](const QVariant&) { center.removeObserver(&second); });
    center.addObserver(&second, "A", [&](const QVariant&) {
        seen.append("second " + QThread::currentThread()->objectName());
    });
    QThread::currentThread()->setObjectName("main");
    std::thread([&] { center.post("A", "2.0"); }).join();
    EXPECT_TRUE(test::waitUntil([&] { return seen.size() == 2; }));
    center.post("B");
    center.post("A");
    center.removeObserver(&first);
    center.post("A", "gone");
    EXPECT_EQ(seen, (QStringList{"first 2.0", "second main", "first "}));
    EXPECT_EQ(center.observerCount("B"), 0);
}

} // namespace
