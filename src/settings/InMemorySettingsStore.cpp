#include "settings/InMemorySettingsStore.h"

namespace velmora {

QVariant InMemorySettingsStore::object(const QString& key) const {
    std::lock_guard lock(mutex_);
    return values_.value(key);
}

void InMemorySettingsStore::setObject(const QString& key, const QVariant& value) {
    QVariant old;
    {
        std::lock_guard lock(mutex_);
        old = values_.value(key);
        values_.insert(key, value);
    }
    if (!sameValue(old, value))
        announce({key});
}

void InMemorySettingsStore::removeObject(const QString& key) {
    bool removed = false;
    {
        std::lock_guard lock(mutex_);
        removed = values_.remove(key);
    }
    if (removed)
        announce({key});
}

QStringList InMemorySettingsStore::allKeys() const {
    std::lock_guard lock(mutex_);
    return values_.keys();
}

} // namespace velmora
