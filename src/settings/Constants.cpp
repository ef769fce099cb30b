#include "settings/Constants.h"

#include "base/ConsoleOutput.h"
#include "diagnostics/Logger.h"
#include "settings/SettingsSchema.h"
#include "settings/SettingsStore.h"

namespace velmora {

void configureDefaultSettings() {
    SettingsStore& store = SettingsStore::standard();
    for (const SettingDefinition& setting : SettingsSchema::all()) {
        // A present value of any type is the user's and stays.
        const bool write = setting.atStartUp == StartUpWrite::always ||
                           (setting.atStartUp == StartUpWrite::whenAbsent && !store.hasObject(setting.key));
        if (write)
            store.setObject(setting.key, setting.defaultValue);
    }
    ConsoleOutput::writeLine(QStringLiteral("📋 Default settings configured"));
}

void resetAllSettings() {
    SettingsStore& store = SettingsStore::standard();
    for (const SettingDefinition& setting : SettingsSchema::all()) {
        if (!setting.writtenByReset)
            continue;
        // A key without a default is reset by removing it.
        if (setting.defaultValue.isValid())
            store.setObject(setting.key, setting.defaultValue);
        else
            store.removeObject(setting.key);
    }
    Logger::log(QStringLiteral("All settings reset to defaults"));
}

} // namespace velmora
