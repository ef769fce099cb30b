#include "settings/SettingsStore.h"

#include "settings/QSettingsStore.h"

#include "diagnostics/Logger.h"
#include "settings/Constants.h"

#include <QCoreApplication>
#include <QThread>

#include <atomic>

namespace velmora {

bool settingsValueToBool(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return false;
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return value.toDouble() != 0.0;
    case QMetaType::QString:
    case QMetaType::QByteArray: {
        const QString text = value.toString().trimmed();
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ||
            text.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0)
            return true;
        bool isNumber = false;
        const long long number = text.toLongLong(&isNumber);
        return isNumber && number != 0;
    }
    default:
        return false;
    }
}

bool SettingsStore::boolForKey(const QString& key) const { return settingsValueToBool(object(key)); }

std::optional<QString> SettingsStore::stringForKey(const QString& key) const {
    const QVariant value = object(key);
    switch (value.typeId()) {
    case QMetaType::QString:
    case QMetaType::QByteArray:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return value.toString();
    default:
        return std::nullopt;
    }
}

std::optional<QDateTime> SettingsStore::dateForKey(const QString& key) const {
    const QVariant value = object(key);
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime();
    // A date edited into the file by hand arrives as ISO 8601 text.
    if (value.typeId() == QMetaType::QString) {
        const QDateTime parsed = QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
        if (parsed.isValid())
            return parsed;
    }
    return std::nullopt;
}

QStringList SettingsStore::stringListForKey(const QString& key) const {
    const QVariant value = object(key);
    switch (value.typeId()) {
    case QMetaType::QStringList:
    case QMetaType::QVariantList:
        return value.toStringList();
    case QMetaType::QString:
    case QMetaType::QByteArray:
        return value.toString().isEmpty() ? QStringList() : QStringList{value.toString()};
    default:
        return {};
    }
}

void SettingsStore::announce(const QStringList& keys) {
    if (keys.isEmpty())
        return;
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(this, [this, keys] { announce(keys); }, Qt::QueuedConnection);
        return;
    }
    for (const QString& key : keys)
        Q_EMIT valueChanged(key);
}

bool SettingsStore::sameValue(const QVariant& a, const QVariant& b) {
    if (a.isValid() != b.isValid())
        return false;
    if (a == b)
        return true;
    const QString text = a.toString();
    return a.typeId() != b.typeId() && !text.isEmpty() && text == b.toString();
}

namespace {
std::shared_ptr<SettingsStore>& installedStore() {
    static std::shared_ptr<SettingsStore> store;
    return store;
}
std::atomic<SettingsStore*>& currentStore() {
    static std::atomic<SettingsStore*> pointer{nullptr};
    return pointer;
}
} // namespace

SettingsStore& SettingsStore::standard() {
    if (SettingsStore* store = currentStore().load(std::memory_order_acquire))
        return *store;
    auto store = std::make_shared<QSettingsStore>();
    // Its file watch and announcements belong to the main thread, whichever
    // thread read a setting first.
    if (QCoreApplication* app = QCoreApplication::instance())
        store->moveToThread(app->thread());
    setStandard(std::move(store));
    return *currentStore().load(std::memory_order_acquire);
}

void SettingsStore::setStandard(std::shared_ptr<SettingsStore> store) {
    installedStore() = std::move(store);
    currentStore().store(installedStore().get(), std::memory_order_release);
    Logger::setSwitches([] { return standard().boolForKey(Constants::enableDebugMode); },
                        [] { return standard().boolForKey(Constants::enableUsageStats); });
}

} // namespace velmora
