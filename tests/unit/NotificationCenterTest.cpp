#include "settings/NotificationCenter.h"
#include "support/WaitUntil.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <thread>

using namespace velmora;

namespace {

const QString name = QStringLiteral("UpdateAvailable");
const QString other = QStringLiteral("languageDidChange");

class NotificationCenterTest : public ::testing::Test {
protected:
    void TearDown() override {
        center.removeObserver(&first);
        center.removeObserver(&second);
    }
    NotificationCenter& center = NotificationCenter::defaultCenter();
    int first = 0;
    int second = 0;
};

TEST_F(NotificationCenterTest, PostReachesObserversOfThatNameWithTheObject) {
    QVariantList seen;
    center.addObserver(&first, name, [&](const QVariant& object) { seen.append(object); });
    center.addObserver(&second, other, [&](const QVariant&) { seen.append(QStringLiteral("wrong")); });
    center.post(name, QStringLiteral("2.0.0"));
    center.post(name);
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[0], QVariant(QStringLiteral("2.0.0")));
    EXPECT_FALSE(seen[1].isValid());
}

TEST_F(NotificationCenterTest, RemovingAnObserverDropsAllItsNames) {
    int calls = 0;
    center.addObserver(&first, name, [&](const QVariant&) { ++calls; });
    center.addObserver(&first, other, [&](const QVariant&) { ++calls; });
    center.addObserver(&second, name, [&](const QVariant&) { calls += 100; });
    center.removeObserver(&first);
    center.post(name);
    center.post(other);
    EXPECT_EQ(calls, 100);
    EXPECT_EQ(center.observerCount(other), 0);
}

TEST_F(NotificationCenterTest, HandlerMayRemoveObserversDuringDelivery) {
    int secondCalls = 0;
    center.addObserver(&first, name, [&](const QVariant&) { center.removeObserver(&second); });
    center.addObserver(&second, name, [&](const QVariant&) { ++secondCalls; });
    center.post(name);
    EXPECT_EQ(secondCalls, 0);
}

TEST_F(NotificationCenterTest, PostsFromAnotherThreadAreDeliveredOnTheMainThread) {
    QThread* deliveredOn = nullptr;
    center.addObserver(&first, name, [&](const QVariant&) { deliveredOn = QThread::currentThread(); });
    std::thread poster([&] { center.post(name); });
    poster.join();
    EXPECT_EQ(deliveredOn, nullptr);
    EXPECT_TRUE(test::waitUntil([&] { return deliveredOn != nullptr; }));
    EXPECT_EQ(deliveredOn, QCoreApplication::instance()->thread());
}

} // namespace
