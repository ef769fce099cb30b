#include "settings/QSettingsStore.h"

#include <QDir>
#include <QFileInfo>

namespace velmora {

QSettingsStore::QSettingsStore()
    : settings_(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Velmora"),
                QStringLiteral("Velmora")) {
    watchFile();
}

QSettingsStore::QSettingsStore(const QString& filePath) : settings_(filePath, QSettings::NativeFormat) {
    watchFile();
}

void QSettingsStore::watchFile() {
    const QFileInfo file(settings_.fileName());
    QDir().mkpath(file.absolutePath());
    watcher_.addPath(file.absolutePath());
    if (file.exists())
        watcher_.addPath(file.absoluteFilePath());
    // A rewrite replaces the file by renaming a new one over it, which ends a
    // watch on the file itself: the folder's change signal catches that case,
    // and the file's watch is renewed each time.
    const auto reload = [this] {
        sync();
        const QString path = QFileInfo(settings_.fileName()).absoluteFilePath();
        if (QFileInfo::exists(path) && !watcher_.files().contains(path))
            watcher_.addPath(path);
    };
    QObject::connect(&watcher_, &QFileSystemWatcher::directoryChanged, &watcher_, reload);
    QObject::connect(&watcher_, &QFileSystemWatcher::fileChanged, &watcher_, reload);
}

QVariant QSettingsStore::object(const QString& key) const {
    std::lock_guard lock(mutex_);
    return settings_.value(key);
}

void QSettingsStore::setObject(const QString& key, const QVariant& value) {
    std::lock_guard lock(mutex_);
    settings_.setValue(key, value);
}

void QSettingsStore::removeObject(const QString& key) {
    std::lock_guard lock(mutex_);
    settings_.remove(key);
}

QStringList QSettingsStore::allKeys() const {
    std::lock_guard lock(mutex_);
    return settings_.allKeys();
}

QString QSettingsStore::fileName() const { return settings_.fileName(); }

void QSettingsStore::sync() {
    std::lock_guard lock(mutex_);
    settings_.sync();
}

} // namespace velmora
