#pragma once

#include "settings/SettingsStore.h"

#include <QHash>

#include <mutex>

namespace velmora {

// A store that lives only as long as the process; for tests and the demo.
class InMemorySettingsStore final : public SettingsStore {
public:
    QVariant object(const QString& key) const override;
    void setObject(const QString& key, const QVariant& value) override;
    void removeObject(const QString& key) override;
    QStringList allKeys() const override;

private:
    mutable std::mutex mutex_;
    QHash<QString, QVariant> values_;
};

} // namespace velmora
