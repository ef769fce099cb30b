#pragma once

#include <QString>

namespace velmora::Constants {

// Settings keys. Three begin with a capital letter; stored files rely on the
// exact spelling.
inline const QString useCommandKey = QStringLiteral("useCommandKey");
inline const QString useControlKey = QStringLiteral("useControlKey");
inline const QString useOptionKey = QStringLiteral("useOptionKey");
inline const QString useShiftKey = QStringLiteral("useShiftKey");
inline const QString switchToEnglish = QStringLiteral("switchToEnglish");
inline const QString restorePreviousLayout = QStringLiteral("restorePreviousLayout");
inline const QString launchAtLogin = QStringLiteral("LaunchAtLogin");
inline const QString showMenuBarIcon = QStringLiteral("showMenuBarIcon");
inline const QString enableDebugMode = QStringLiteral("enableDebugMode");
inline const QString enableUsageStats = QStringLiteral("enableUsageStats");
inline const QString enableAutoUpdates = QStringLiteral("enableAutoUpdates");
inline const QString appLanguage = QStringLiteral("AppLanguage");
inline const QString hasLaunchedBefore = QStringLiteral("hasLaunchedBefore");
inline const QString hasShownPermissionRequest = QStringLiteral("HasShownPermissionRequest");
inline const QString skipUpdateVersion = QStringLiteral("skipUpdateVersion");
inline const QString lastUpdateCheck = QStringLiteral("lastUpdateCheck");
// The layout identifier a trigger press selects; absent: the English ones.
inline const QString shortcutLayout = QStringLiteral("shortcutLayout");
// Identifiers of the applications in front of which a trigger switches nothing.
inline const QString excludedApplications = QStringLiteral("excludedApplications");

// In-process notifications.
inline const QString updateAvailableNotification = QStringLiteral("UpdateAvailable");
inline const QString menuBarIconSettingChangedNotification = QStringLiteral("MenuBarIconSettingChanged");
inline const QString languageDidChangeNotification = QStringLiteral("languageDidChange");
// Posted when the application is about to end, for owners of system resources.
inline const QString applicationWillTerminateNotification = QStringLiteral("ApplicationWillTerminate");

} // namespace velmora::Constants

namespace velmora {

// Puts the defaults in place at start-up, in the user's own domain so that
// they persist. Prints "📋 Default settings configured".
void configureDefaultSettings();

// Writes the reset values of the user-editable settings (the shortcut layout
// goes back to English, no application stays excluded). Debug and usage
// switches, the language, first-launch and update bookkeeping are kept.
void resetAllSettings();

} // namespace velmora
