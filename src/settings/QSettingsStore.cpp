#include "settings/QSettingsStore.h"

#include "base/ConsoleOutput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace velmora {

namespace {

constexpr int retryIntervalMs = 2000;

QString standardFileName() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Velmora"),
                     QStringLiteral("Velmora"))
        .fileName();
}

} // namespace

QSettingsStore::QSettingsStore() : QSettingsStore(standardFileName()) {}

QSettingsStore::QSettingsStore(const QString& filePath)
    : fileName_(filePath), settings_(std::make_unique<QSettings>(filePath, QSettings::NativeFormat)),
      watcher_(this), retry_(this) {
    watchFile();
    // A rewrite replaces the file by renaming a new one over it, which ends a
    // watch on the file itself: the folder's change signal catches that case,
    // and the file's watch is renewed after each sync.
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &QSettingsStore::sync);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &QSettingsStore::sync);
    retry_.setInterval(retryIntervalMs);
    connect(&retry_, &QTimer::timeout, this, &QSettingsStore::sync);
    // QSettings parses keys on first use, so only then does a damaged file show.
    settings_->allKeys();
    if (settings_->status() == QSettings::FormatError)
        finish({{}, false, setAsideLocked()});
}

void QSettingsStore::watchFile() {
    const QFileInfo file(fileName_);
    QDir().mkpath(file.absolutePath());
    if (QFileInfo(file.absolutePath()).isDir() && !watcher_.directories().contains(file.absolutePath()))
        watcher_.addPath(file.absolutePath());
    if (file.isFile() && !watcher_.files().contains(file.absoluteFilePath()))
        watcher_.addPath(file.absoluteFilePath());
}

QVariant QSettingsStore::object(const QString& key) const {
    std::lock_guard lock(mutex_);
    return settings_->value(key);
}

void QSettingsStore::setObject(const QString& key, const QVariant& value) { write(key, value); }

void QSettingsStore::removeObject(const QString& key) { write(key, QVariant()); }

QStringList QSettingsStore::allKeys() const {
    std::lock_guard lock(mutex_);
    return settings_->allKeys();
}

void QSettingsStore::sync() {
    Outcome outcome;
    {
        std::lock_guard lock(mutex_);
        outcome = syncLocked();
    }
    finish(outcome);
}

bool QSettingsStore::canWrite() const {
    std::lock_guard lock(mutex_);
    return !failing_;
}

void QSettingsStore::write(const QString& key, const QVariant& value) {
    Outcome outcome;
    {
        std::lock_guard lock(mutex_);
        const QVariant old = settings_->value(key);
        if (value.isValid())
            settings_->setValue(key, value);
        else
            settings_->remove(key);
        unwritten_.insert(key);
        // QSettings would sync once more from the event loop and take in an
        // outside edit unseen, which would then go unannounced.
        QCoreApplication::removePostedEvents(settings_.get(), QEvent::UpdateRequest);
        // Written at once, so that another process sees the change and a
        // failure is known while the caller is still here.
        outcome = syncLocked();
        if (!sameValue(old, value) && !outcome.changedKeys.contains(key))
            outcome.changedKeys.prepend(key);
    }
    finish(outcome);
}

QSettingsStore::Values QSettingsStore::valuesLocked() const {
    Values values;
    for (const QString& key : settings_->allKeys())
        values.insert(key, settings_->value(key));
    return values;
}

QSettingsStore::Outcome QSettingsStore::syncLocked() {
    const Values before = valuesLocked();
    Outcome outcome;
    if (failing_) {
        recoverLocked();
    } else {
        settings_->sync();
        settings_->allKeys();
        if (settings_->status() == QSettings::FormatError)
            outcome.setAsideAs = setAsideLocked();
        if (settings_->status() == QSettings::NoError) {
            unwritten_.clear();
        } else {
            failing_ = outcome.failedNow = true;
            // A failed read may have dropped what the file held: the values
            // seen until now stay, to be written out later.
            for (auto it = before.cbegin(); it != before.cend(); ++it) {
                if (!sameValue(settings_->value(it.key()), it.value())) {
                    settings_->setValue(it.key(), it.value());
                    unwritten_.insert(it.key());
                }
            }
            QCoreApplication::removePostedEvents(settings_.get(), QEvent::UpdateRequest);
        }
    }
    const Values after = valuesLocked();
    QSet<QString> keys(before.keyBegin(), before.keyEnd());
    keys.unite(QSet<QString>(after.keyBegin(), after.keyEnd()));
    for (const QString& key : std::as_const(keys))
        if (!sameValue(before.value(key), after.value(key)))
            outcome.changedKeys.append(key);
    return outcome;
}

void QSettingsStore::recoverLocked() {
    // QSettings keeps its first error for life, so a fresh instance tells
    // whether the file can be written now. It reads the file again and takes
    // the values changed meanwhile on top.
    auto fresh = std::make_unique<QSettings>(fileName_, QSettings::NativeFormat);
    for (const QString& key : std::as_const(unwritten_)) {
        const QVariant value = settings_->value(key);
        if (value.isValid())
            fresh->setValue(key, value);
        else
            fresh->remove(key);
    }
    fresh->sync();
    QCoreApplication::removePostedEvents(fresh.get(), QEvent::UpdateRequest);
    if (fresh->status() != QSettings::NoError)
        return;
    settings_ = std::move(fresh);
    unwritten_.clear();
    failing_ = false;
}

QString QSettingsStore::setAsideLocked() {
    // QSettings would rewrite the file from the part it understood at the
    // next write: the user's file is moved out of the way first.
    QString kept = fileName_ + QStringLiteral(".broken");
    for (int n = 2; QFileInfo::exists(kept); ++n)
        kept = fileName_ + QStringLiteral(".broken%1").arg(n);
    if (!QFile::rename(fileName_, kept))
        return {};
    const Values values = valuesLocked();
    settings_ = std::make_unique<QSettings>(fileName_, QSettings::NativeFormat);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        settings_->setValue(it.key(), it.value());
    settings_->sync();
    QCoreApplication::removePostedEvents(settings_.get(), QEvent::UpdateRequest);
    return kept;
}

void QSettingsStore::finish(const Outcome& outcome) {
    if (!outcome.setAsideAs.isEmpty())
        ConsoleOutput::writeLine(
            QStringLiteral("❌ Settings file %1 is damaged: it is kept as %2, and Velmora goes "
                           "on with the settings it could read from it.")
                .arg(fileName_, outcome.setAsideAs));
    if (outcome.failedNow) {
        const QString problem = writeProblem(fileName_);
        ConsoleOutput::writeLine(
            QStringLiteral("❌ Settings cannot be written to %1: %2. Velmora keeps them in memory and "
                           "writes them once the file can be written.")
                .arg(fileName_,
                     problem.isEmpty() ? QStringLiteral("the file system refused the write") : problem));
    }
    // The watch and the retry timer belong to the store's thread.
    QMetaObject::invokeMethod(this, [this] {
        bool failing = false;
        {
            std::lock_guard lock(mutex_);
            failing = failing_;
        }
        if (failing && !retry_.isActive())
            retry_.start();
        else if (!failing)
            retry_.stop();
        watchFile();
    });
    announce(outcome.changedKeys);
}

QString QSettingsStore::writeProblem(const QString& filePath) {
    const QFileInfo file(filePath);
    if (file.isDir())
        return QStringLiteral("a folder stands where the file should be");
    QFileInfo folder(file.absolutePath());
    while (!folder.exists() && !folder.isRoot())
        folder.setFile(folder.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("%1 is not a folder").arg(folder.absoluteFilePath());
    if (file.exists()) {
        QFile existing(filePath);
        if (!existing.open(QIODevice::ReadWrite))
            return existing.errorString();
    }
    QSaveFile probe(filePath);
    if (!probe.open(QIODevice::WriteOnly))
        return probe.errorString();
    probe.cancelWriting();
    return {};
}

} // namespace velmora
