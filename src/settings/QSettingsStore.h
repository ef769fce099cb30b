#pragma once

#include "settings/SettingsStore.h"

#include <QFileSystemWatcher>
#include <QSettings>

#include <mutex>

namespace velmora {

// The defaults database on top of QSettings in its native format
// ($XDG_CONFIG_HOME/Velmora/Velmora.conf on Linux). QSettings re-reads its file
// only on sync(), so the store watches the file's folder and syncs when another
// process rewrites the file; the running program sees the edit at its next read.
class QSettingsStore final : public SettingsStore {
public:
    QSettingsStore();
    // A store on an explicit file, for tests and tools.
    explicit QSettingsStore(const QString& filePath);

    QVariant object(const QString& key) const override;
    void setObject(const QString& key, const QVariant& value) override;
    void removeObject(const QString& key) override;
    QStringList allKeys() const override;

    QString fileName() const;
    // Writes pending changes and picks up changes made by other processes.
    void sync();

private:
    void watchFile();

    // QSettings is reentrant but one instance is not safe across threads, and
    // the logger may read the debug switch from any thread.
    mutable std::mutex mutex_;
    QSettings settings_;
    QFileSystemWatcher watcher_;
};

} // namespace velmora
