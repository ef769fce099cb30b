#include "support/WaitUntil.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace velmora::test {

namespace {

// Sleeps in the event loop until something happens, and at least every few
// milliseconds so that the caller can look at the clock.
void processEventsBriefly() {
    [[maybe_unused]] static QTimer* wakeUp = [] {
        auto* timer = new QTimer(QCoreApplication::instance());
        timer->start(5);
        return timer;
    }();
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

} // namespace

bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!condition()) {
        if (elapsed.elapsed() >= timeoutMs)
            return condition();
        processEventsBriefly();
    }
    return true;
}

bool drainQueued() {
    bool after = false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&] { after = true; }, Qt::QueuedConnection);
    return waitUntil([&] { return after; });
}

} // namespace velmora::test
