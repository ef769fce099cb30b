#include "settings/Constants.h"

#include "base/ConsoleOutput.h"
#include "diagnostics/Logger.h"
#include "settings/SettingsStore.h"

#include <utility>

namespace velmora {

namespace {
void writeWhenAbsent(SettingsStore& store, const QString& key, bool value) {
    if (!store.hasObject(key))
        store.setBool(key, value);
}
} // namespace

void configureDefaultSettings() {
    SettingsStore& store = SettingsStore::standard();
    const std::pair<const QString&, bool> triggerAndBehaviour[] = {
        {Constants::useCommandKey, true},  {Constants::useControlKey, true},
        {Constants::useOptionKey, true},   {Constants::useShiftKey, false},
        {Constants::switchToEnglish, true}, {Constants::restorePreviousLayout, true},
        {Constants::launchAtLogin, true},
    };
    for (const auto& [key, value] : triggerAndBehaviour)
        writeWhenAbsent(store, key, value);

    // The icon comes back at every start, even if it was hidden last time.
    store.setBool(Constants::showMenuBarIcon, true);

    writeWhenAbsent(store, Constants::enableDebugMode, false);
    writeWhenAbsent(store, Constants::enableUsageStats, false);
    writeWhenAbsent(store, Constants::enableAutoUpdates, true);

    ConsoleOutput::writeLine(QStringLiteral("📋 Default settings configured"));
}

void resetAllSettings() {
    SettingsStore& store = SettingsStore::standard();
    store.setBool(Constants::useCommandKey, true);
    store.setBool(Constants::useControlKey, true);
    store.setBool(Constants::useOptionKey, true);
    store.setBool(Constants::useShiftKey, false);
    store.setBool(Constants::switchToEnglish, true);
    store.setBool(Constants::restorePreviousLayout, true);
    store.setBool(Constants::launchAtLogin, true);
    store.setBool(Constants::showMenuBarIcon, true);
    store.setBool(Constants::enableAutoUpdates, true);
    store.removeObject(Constants::shortcutLayout);
    Logger::log(QStringLiteral("All settings reset to defaults"));
}

} // namespace velmora
