#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>

namespace velmora {

// The user's defaults database: a flat map from key to value that outlives the
// process. Values are read at the moment of use and never cached here; the
// typed getters follow the defaults database's rules (an absent Boolean reads
// false, an absent string reads null).
//
// Every change of a key, made here or picked up from outside the process,
// is announced with valueChanged on the thread the store lives in (the main
// thread); reads and writes may come from any thread.
class SettingsStore : public QObject {
    Q_OBJECT

public:
    ~SettingsStore() override = default;

    // An invalid QVariant when the key is absent.
    virtual QVariant object(const QString& key) const = 0;
    virtual void setObject(const QString& key, const QVariant& value) = 0;
    virtual void removeObject(const QString& key) = 0;
    virtual QStringList allKeys() const = 0;

    bool hasObject(const QString& key) const { return object(key).isValid(); }
    bool boolForKey(const QString& key) const;
    std::optional<QString> stringForKey(const QString& key) const;
    std::optional<QDateTime> dateForKey(const QString& key) const;
    // A list, or a single text as a list of one (the settings file stores a
    // list of one as plain text); empty when absent.
    QStringList stringListForKey(const QString& key) const;

    void setBool(const QString& key, bool value) { setObject(key, value); }
    void setString(const QString& key, const QString& value) { setObject(key, value); }
    void setDate(const QString& key, const QDateTime& value) { setObject(key, value); }
    // An empty list removes the key: the settings file cannot tell an empty
    // list from an absent one.
    void setStringList(const QString& key, const QStringList& value) {
        value.isEmpty() ? removeObject(key) : setObject(key, value);
    }

    // The process-wide store every part reads; tests install their own.
    static SettingsStore& standard();
    static void setStandard(std::shared_ptr<SettingsStore> store);

Q_SIGNALS:
    void valueChanged(const QString& key);

protected:
    // Emits valueChanged for each key, on the store's own thread.
    void announce(const QStringList& keys);
    // Equal values, also when one was read back from text ("true" and true).
    static bool sameValue(const QVariant& a, const QVariant& b);
};

// The Boolean reading of any stored value: true, a non-zero number, or the
// text "true"/"yes" or a non-zero integer, case-insensitive.
bool settingsValueToBool(const QVariant& value);

} // namespace velmora
