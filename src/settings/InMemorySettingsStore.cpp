#include "settings/InMemorySettingsStore.h"

namespace velmora {

QVariant InMemorySettingsStore::object(const QString& key) const {
    std::lock_guard lock(mutex_);
    return values_.value(key);
}

void InMemorySettingsStore::setObject(const QString& key, const QVariant& value) {
    std::lock_guard lock(mutex_);
    values_.insert(key, value);
}

void InMemorySettingsStore::removeObject(const QString& key) {
    std::lock_guard lock(mutex_);
    values_.remove(key);
}

QStringList InMemorySettingsStore::allKeys() const {
    std::lock_guard lock(mutex_);
    return values_.keys();
}

} // namespace velmora
