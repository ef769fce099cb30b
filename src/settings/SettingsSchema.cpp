#include "settings/SettingsSchema.h"

#include "settings/Constants.h"

namespace velmora::SettingsSchema {

const QList<SettingDefinition>& all() {
    using enum SettingType;
    using enum StartUpWrite;
    static const QList<SettingDefinition> settings = {
        {Constants::useCommandKey, boolean, true, whenAbsent, true},
        {Constants::useControlKey, boolean, true, whenAbsent, true},
        {Constants::useOptionKey, boolean, true, whenAbsent, true},
        {Constants::useShiftKey, boolean, false, whenAbsent, true},
        {Constants::switchToEnglish, boolean, true, whenAbsent, true},
        {Constants::restorePreviousLayout, boolean, true, whenAbsent, true},
        {Constants::launchAtLogin, boolean, true, whenAbsent, true},
        // The icon comes back at every start, even if it was hidden last time.
        {Constants::showMenuBarIcon, boolean, true, always, true},
        // Set only from outside the program, so a reset keeps them.
        {Constants::enableDebugMode, boolean, false, whenAbsent, false},
        {Constants::enableUsageStats, boolean, false, whenAbsent, false},
        {Constants::enableAutoUpdates, boolean, true, whenAbsent, true},
        // Chosen in the preferences; without it the English layouts serve.
        {Constants::shortcutLayout, string, {}, never, true},
        // Absent: no application is excluded.
        {Constants::excludedApplications, stringList, {}, never, true},
        // Bookkeeping of the language, first launch, permission and updates.
        {Constants::appLanguage, string, {}, never, false},
        {Constants::hasLaunchedBefore, boolean, false, never, false},
        {Constants::hasShownPermissionRequest, boolean, false, never, false},
        {Constants::skipUpdateVersion, string, {}, never, false},
        {Constants::lastUpdateCheck, date, {}, never, false},
    };
    return settings;
}

const SettingDefinition* find(const QString& key) {
    for (const SettingDefinition& setting : all())
        if (setting.key == key)
            return &setting;
    return nullptr;
}

QVariant defaultValue(const QString& key) {
    const SettingDefinition* setting = find(key);
    return setting ? setting->defaultValue : QVariant();
}

} // namespace velmora::SettingsSchema
