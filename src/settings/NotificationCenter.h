#pragma once

#include <QString>
#include <QVariant>

#include <functional>
#include <vector>

namespace velmora {

// A process-wide, name-based notification centre. Observers run on the main
// thread: at once when the post happens there, queued to it otherwise.
class NotificationCenter {
public:
    using Handler = std::function<void(const QVariant& object)>;

    static NotificationCenter& defaultCenter();

    // Registering and removing happen on the main thread; posting may
    // happen on any thread. The observer is any address that identifies the
    // registration owner.
    void addObserver(const void* observer, const QString& name, Handler handler);
    // Removes every registration of the observer, for all names.
    void removeObserver(const void* observer);
    void post(const QString& name, const QVariant& object = {});

    int observerCount(const QString& name) const;

private:
    struct Registration {
        const void* observer;
        QString name;
        Handler handler;
        quint64 serial;
    };
    void deliver(const QString& name, const QVariant& object);

    std::vector<Registration> registrations_;
    quint64 nextSerial_ = 0;
};

} // namespace velmora
