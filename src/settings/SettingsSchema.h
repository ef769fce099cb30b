#pragma once

#include <QList>
#include <QString>
#include <QVariant>

namespace velmora {

enum class SettingType { boolean, string, stringList, date };

// What the start-up step does with a key.
enum class StartUpWrite { never, whenAbsent, always };

struct SettingDefinition {
    QString key;
    SettingType type;
    // Shown by the controls while the key is absent; invalid when there is none.
    QVariant defaultValue;
    StartUpWrite atStartUp;
    bool writtenByReset;
};

// Every key Velmora reads or writes, in the order start-up and reset write
// them. Defaults, reset, the preference controls and "velmora defaults" all
// read this one table.
namespace SettingsSchema {

const QList<SettingDefinition>& all();
// Null for a key Velmora does not know.
const SettingDefinition* find(const QString& key);
// The key's default, or an invalid value.
QVariant defaultValue(const QString& key);

} // namespace SettingsSchema

} // namespace velmora
