#include "settings/NotificationCenter.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>

namespace velmora {

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}

void NotificationCenter::addObserver(const void* observer, const QString& name, Handler handler) {
    registrations_.push_back({observer, name, std::move(handler), nextSerial_++});
}

void NotificationCenter::removeObserver(const void* observer) {
    std::erase_if(registrations_, [observer](const Registration& r) { return r.observer == observer; });
}

int NotificationCenter::observerCount(const QString& name) const {
    return static_cast<int>(
        std::count_if(registrations_.begin(), registrations_.end(), [&](const Registration& r) { return r.name == name; }));
}

void NotificationCenter::post(const QString& name, const QVariant& object) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread()) {
        deliver(name, object);
        return;
    }
    QMetaObject::invokeMethod(app, [this, name, object] { deliver(name, object); }, Qt::QueuedConnection);
}

void NotificationCenter::deliver(const QString& name, const QVariant& object) {
    // A handler may add or remove observers, so walk a snapshot of serials and
    // skip registrations that were removed meanwhile.
    std::vector<quint64> due;
    for (const Registration& r : registrations_)
        if (r.name == name)
            due.push_back(r.serial);
    for (const quint64 serial : due) {
        const auto it = std::find_if(registrations_.begin(), registrations_.end(),
                                     [serial](const Registration& r) { return r.serial == serial; });
        if (it == registrations_.end())
            continue;
        Handler handler = it->handler;
        handler(object);
    }
}

} // namespace velmora
