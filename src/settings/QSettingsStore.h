#pragma once

#include "settings/SettingsStore.h"

#include <QFileSystemWatcher>
#include <QHash>
#include <QSet>
#include <QSettings>
#include <QTimer>

#include <memory>
#include <mutex>

namespace velmora {

// The defaults database on top of QSettings in its native format
// ($XDG_CONFIG_HOME/Velmora/Velmora.conf on Linux). Each write goes to the
// file at once. QSettings re-reads its file only on sync(), so the store
// watches the file's folder, syncs when another process rewrites the file
// and announces every key whose value that changed.
//
// When the file cannot be written (a read-only or full disk, a file where its
// folder should be, a folder where the file should be), the store keeps the
// values in memory, says so once on standard output, and writes them out as
// soon as the file can be written again. A file that is not a settings file
// (damaged, cut short) is set aside untouched as <file>.broken, said once, and
// the store goes on with what it could read from it.
class QSettingsStore final : public SettingsStore {
    Q_OBJECT

public:
    QSettingsStore();
    // A store on an explicit file, for tests and tools.
    explicit QSettingsStore(const QString& filePath);

    QVariant object(const QString& key) const override;
    void setObject(const QString& key, const QVariant& value) override;
    void removeObject(const QString& key) override;
    QStringList allKeys() const override;

    QString fileName() const { return fileName_; }
    // Writes pending changes and picks up changes made by other processes.
    void sync();
    // False while changes wait in memory for a file that cannot be written.
    bool canWrite() const;

    // Why the file cannot be written, as far as the file system tells; empty
    // when nothing stands in the way.
    static QString writeProblem(const QString& filePath);

private:
    using Values = QHash<QString, QVariant>;
    struct Outcome {
        QStringList changedKeys;
        bool failedNow = false;
        // Where a file that could not be read was moved.
        QString setAsideAs;
    };

    void watchFile();
    void write(const QString& key, const QVariant& value);
    // All four run with the mutex held (or in the constructor).
    Values valuesLocked() const;
    Outcome syncLocked();
    void recoverLocked();
    QString setAsideLocked();
    void finish(const Outcome& outcome);

    const QString fileName_;
    // QSettings is reentrant but one instance is not safe across threads, and
    // the logger may read the debug switch from any thread.
    mutable std::mutex mutex_;
    std::unique_ptr<QSettings> settings_;
    // Keys changed since the file was last written successfully.
    QSet<QString> unwritten_;
    bool failing_ = false;
    QFileSystemWatcher watcher_;
    // Tries the file again while it cannot be written.
    QTimer retry_;
};

} // namespace velmora
