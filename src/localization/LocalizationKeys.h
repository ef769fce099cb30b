#pragma once

#include <QList>
#include <QString>

namespace velmora::LocalizationKeys {

// Every key that Velmora looks up through LocalizationManager::localizedString.
// Screens use these constants rather than literals, so a typo fails to compile
// instead of showing a raw key. Texts with arguments are Qt format strings with
// numbered placeholders (%1, %2, %3); fill them with one multi-argument
// QString::arg call so that a "%2" inside an argument is never substituted.

// Status menu.
inline const QString menuPreferences = QStringLiteral("menu_preferences");
inline const QString menuCheckUpdates = QStringLiteral("menu_check_updates");
inline const QString menuHelpSupport = QStringLiteral("menu_help_support");
inline const QString menuDebugInfo = QStringLiteral("menu_debug_info");
inline const QString menuQuit = QStringLiteral("menu_quit");

// Window titles and the preferences.
inline const QString appName = QStringLiteral("app_name");
inline const QString prefsGeneral = QStringLiteral("prefs_general");
inline const QString prefsAdvanced = QStringLiteral("prefs_advanced");
inline const QString languageTitle = QStringLiteral("language_title");
inline const QString languageDescription = QStringLiteral("language_description");
inline const QString languageSystemDefault = QStringLiteral("language_system_default");
inline const QString triggerKeysTitle = QStringLiteral("trigger_keys_title");
inline const QString triggerKeysDescription = QStringLiteral("trigger_keys_description");
inline const QString keyCommand = QStringLiteral("key_command");
inline const QString keyControl = QStringLiteral("key_control");
inline const QString keyOption = QStringLiteral("key_option");
inline const QString keyShift = QStringLiteral("key_shift");
inline const QString switchingBehaviorTitle = QStringLiteral("switching_behavior_title");
inline const QString switchToEnglish = QStringLiteral("switch_to_english");
inline const QString restorePreviousLayout = QStringLiteral("restore_previous_layout");
inline const QString launchSettingsTitle = QStringLiteral("launch_settings_title");
inline const QString startAtLogin = QStringLiteral("start_at_login");
inline const QString showMenuBarIcon = QStringLiteral("show_menu_bar_icon");
inline const QString menuBarHiddenTitle = QStringLiteral("menu_bar_hidden_title");
inline const QString menuBarHiddenMessage = QStringLiteral("menu_bar_hidden_message");
inline const QString menuBarHiddenOk = QStringLiteral("menu_bar_hidden_ok");
inline const QString menuBarHiddenShowAgain = QStringLiteral("menu_bar_hidden_show_again");

// Onboarding.
inline const QString welcomeTitle = QStringLiteral("welcome_title");
inline const QString welcomeSubtitle = QStringLiteral("welcome_subtitle");
inline const QString welcomeFeature1 = QStringLiteral("welcome_feature_1");
inline const QString welcomeFeature2 = QStringLiteral("welcome_feature_2");
inline const QString welcomeFeature3 = QStringLiteral("welcome_feature_3");
inline const QString permissionTitle = QStringLiteral("permission_title");
inline const QString permissionSubtitle = QStringLiteral("permission_subtitle");
inline const QString permissionFeature1 = QStringLiteral("permission_feature_1");
inline const QString permissionFeature2 = QStringLiteral("permission_feature_2");
inline const QString permissionFeature3 = QStringLiteral("permission_feature_3");
inline const QString permissionFeature4 = QStringLiteral("permission_feature_4");
inline const QString back = QStringLiteral("back");
inline const QString continueButton = QStringLiteral("continue");
inline const QString getStarted = QStringLiteral("get_started");
inline const QString skip = QStringLiteral("skip");
inline const QString enableAccessibilityAlertTitle = QStringLiteral("enable_accessibility_alert_title");
inline const QString enableAccessibilityAlertMessage = QStringLiteral("enable_accessibility_alert_message");

// Keyboard access alert (also used by the onboarding).
inline const QString accessibilityPermissionsTitle = QStringLiteral("accessibility_permissions_title");
inline const QString accessibilityPermissionsMessage = QStringLiteral("accessibility_permissions_message");
inline const QString openSettings = QStringLiteral("open_settings");
inline const QString later = QStringLiteral("later");
// Why the keyboard cannot be observed, one key per cause the backends report.
inline const QString reasonWaylandSessionForX11 = QStringLiteral("keyboard_reason_wayland_x11");
inline const QString reasonNoDisplay = QStringLiteral("keyboard_reason_no_display");
inline const QString reasonDisplayUnreachable = QStringLiteral("keyboard_reason_display_unreachable");
inline const QString reasonDisplayLacksExtension = QStringLiteral("keyboard_reason_display_lacks_extension");
inline const QString reasonDisplayWithoutScreen = QStringLiteral("keyboard_reason_display_without_screen");
inline const QString reasonNoReadableKeyboard = QStringLiteral("keyboard_reason_no_readable_keyboard");
inline const QString reasonShellSilent = QStringLiteral("keyboard_reason_shell_silent");
inline const QString reasonExtensionOff = QStringLiteral("keyboard_reason_extension_off");
inline const QString reasonExtensionFailed = QStringLiteral("keyboard_reason_extension_failed");
inline const QString reasonExtensionSilent = QStringLiteral("keyboard_reason_extension_silent");
inline const QString reasonExtensionNotLoaded = QStringLiteral("keyboard_reason_extension_not_loaded");
inline const QString reasonDesktopUnsupported = QStringLiteral("keyboard_reason_desktop_unsupported");

// Updates.
inline const QString updateAvailableTitle = QStringLiteral("update_available_title");
inline const QString updateAvailableMessage = QStringLiteral("update_available_message");
inline const QString download = QStringLiteral("download");
inline const QString skipVersion = QStringLiteral("skip_version");
inline const QString remindLater = QStringLiteral("remind_later");
inline const QString noUpdatesTitle = QStringLiteral("no_updates_title");
inline const QString noUpdatesMessage = QStringLiteral("no_updates_message");
inline const QString updateCheckFailedTitle = QStringLiteral("update_check_failed_title");
inline const QString updateDownloadFailedTitle = QStringLiteral("update_download_failed_title");
inline const QString okButton = QStringLiteral("ok_button");
inline const QString updateDownloadedTitle = QStringLiteral("update_downloaded_title");
inline const QString updateDownloadedMessage = QStringLiteral("update_downloaded_message");
inline const QString showInFinder = QStringLiteral("show_in_finder");
inline const QString updateDownloading = QStringLiteral("update_downloading");

// Debug information.
inline const QString debugInfoTitle = QStringLiteral("debug_info_title");
inline const QString debugInfoMessage = QStringLiteral("debug_info_message");

// Update saved but not opened.
inline const QString updateNotOpenedTitle = QStringLiteral("update_not_opened_title");
inline const QString updateNotOpenedMessage = QStringLiteral("update_not_opened_message");
inline const QString updateNotVerifiedTitle = QStringLiteral("update_not_verified_title");
inline const QString updateNotVerifiedMessage = QStringLiteral("update_not_verified_message");
// Keyboard access: GNOME Shell runs none of the extensions.
inline const QString reasonExtensionRefused = QStringLiteral("keyboard_reason_extension_refused");
// The layout a trigger press selects.
inline const QString shortcutLayoutTitle = QStringLiteral("shortcut_layout_title");
inline const QString shortcutLayoutAutomatic = QStringLiteral("shortcut_layout_automatic");
// The tray: switching off for want of keyboard access, the support page unopened.
inline const QString menuSwitchingOff = QStringLiteral("menu_switching_off");
inline const QString traySwitchingOff = QStringLiteral("tray_switching_off");
inline const QString supportNotOpenedTitle = QStringLiteral("support_not_opened_title");
inline const QString supportNotOpenedMessage = QStringLiteral("support_not_opened_message");
// The list of excluded applications, the tray's switch, a plain Cancel.
inline const QString menuSwitchForShortcuts = QStringLiteral("menu_switch_for_shortcuts");
inline const QString prefsApplications = QStringLiteral("prefs_applications");
inline const QString excludedTitle = QStringLiteral("excluded_title");
inline const QString excludedDescription = QStringLiteral("excluded_description");
inline const QString excludedAdd = QStringLiteral("excluded_add");
inline const QString excludedRemove = QStringLiteral("excluded_remove");
inline const QString excludedNoFocus = QStringLiteral("excluded_no_focus");
inline const QString excludedPickTitle = QStringLiteral("excluded_pick_title");
inline const QString excludedPickLabel = QStringLiteral("excluded_pick_label");
inline const QString excludedRunning = QStringLiteral("excluded_running");
inline const QString cancelButton = QStringLiteral("cancel_button");

// One key of the tables: how many format arguments its text takes, and the
// note a translator sees beside it.
struct Entry {
    QString key;
    int argumentCount;
    QString note;
};

// Every table must hold exactly these keys; the string-table test and the
// translation maintenance tool both read this list.
inline const QList<Entry>& all() {
    static const QList<Entry> entries = {
        {menuPreferences, 0, QStringLiteral("Tray menu item that opens the preferences window.")},
        {menuCheckUpdates, 0, QStringLiteral("Tray menu item; checks for a newer version and reports the result.")},
        {menuHelpSupport, 0, QStringLiteral("Tray menu item; opens the support page in the web browser.")},
        {menuDebugInfo, 0, QStringLiteral("Tray menu item, shown only in debug mode.")},
        {menuQuit, 0, QStringLiteral("Tray menu item that ends Velmora.")},
        {appName, 0,
         QStringLiteral("Product name, the preferences window title. Keep \"Velmora\": the window is found by it.")},
        {prefsGeneral, 0, QStringLiteral("Preferences tab.")},
        {prefsAdvanced, 0, QStringLiteral("Preferences tab.")},
        {languageTitle, 0, QStringLiteral("Section heading and title of the interface language picker.")},
        {languageDescription, 0, QStringLiteral("Caption under the language heading.")},
        {languageSystemDefault, 0,
         QStringLiteral("Language picker entry: follow the desktop's language. The other entries are "
                        "language names in their own language and are not translated.")},
        {triggerKeysTitle, 0, QStringLiteral("Section heading: the modifier keys that switch to English.")},
        {triggerKeysDescription, 0, QStringLiteral("Caption under the trigger keys heading.")},
        {keyCommand, 0, QStringLiteral("Checkbox: the Super (Windows logo) key. Use the key's usual local name.")},
        {keyControl, 0, QStringLiteral("Checkbox: the Ctrl key, named as printed on local keyboards.")},
        {keyOption, 0, QStringLiteral("Checkbox: the Alt key, named as printed on local keyboards.")},
        {keyShift, 0, QStringLiteral("Checkbox: the Shift key, named as printed on local keyboards.")},
        {switchingBehaviorTitle, 0, QStringLiteral("Section heading.")},
        {switchToEnglish, 0, QStringLiteral("Checkbox.")},
        {restorePreviousLayout, 0, QStringLiteral("Checkbox.")},
        {launchSettingsTitle, 0,
         QStringLiteral("Section heading over \"start at login\" and \"show the tray icon\".")},
        {startAtLogin, 0, QStringLiteral("Checkbox.")},
        {showMenuBarIcon, 0, QStringLiteral("Checkbox: the icon in the system tray.")},
        {menuBarHiddenTitle, 0, QStringLiteral("Alert title after the user hid the tray icon.")},
        {menuBarHiddenMessage, 0,
         QStringLiteral("Alert text: starting Velmora again while it runs opens its preferences.")},
        {menuBarHiddenOk, 0, QStringLiteral("Alert button that accepts the hidden icon.")},
        {menuBarHiddenShowAgain, 0, QStringLiteral("Alert button that shows the tray icon again.")},
        {welcomeTitle, 0,
         QStringLiteral("First onboarding page heading, also the onboarding window title "
                        "(line breaks become spaces there).")},
        {welcomeSubtitle, 0, QStringLiteral("First onboarding page.")},
        {welcomeFeature1, 0, QStringLiteral("First onboarding page, feature list.")},
        {welcomeFeature2, 0, QStringLiteral("First onboarding page, feature list.")},
        {welcomeFeature3, 0, QStringLiteral("First onboarding page, feature list.")},
        {permissionTitle, 0, QStringLiteral("Second onboarding page heading.")},
        {permissionSubtitle, 0, QStringLiteral("Second onboarding page.")},
        {permissionFeature1, 0, QStringLiteral("Second onboarding page, feature list.")},
        {permissionFeature2, 0, QStringLiteral("Second onboarding page, feature list.")},
        {permissionFeature3, 0, QStringLiteral("Second onboarding page, feature list.")},
        {permissionFeature4, 0, QStringLiteral("Second onboarding page, feature list.")},
        {back, 0, QStringLiteral("Onboarding button.")},
        {continueButton, 0, QStringLiteral("Onboarding button.")},
        {getStarted, 0, QStringLiteral("Onboarding button on the last page.")},
        {skip, 0, QStringLiteral("Onboarding button that closes the onboarding.")},
        {enableAccessibilityAlertTitle, 0,
         QStringLiteral("Alert title when setup ends but the keyboard cannot be observed.")},
        {enableAccessibilityAlertMessage, 0, QStringLiteral("Alert text.")},
        {accessibilityPermissionsTitle, 0,
         QStringLiteral("Alert title at start-up when the keyboard cannot be observed.")},
        {accessibilityPermissionsMessage, 0, QStringLiteral("Alert text.")},
        {openSettings, 0, QStringLiteral("Alert button; opens help on what Velmora needs to observe the keyboard.")},
        {later, 0, QStringLiteral("Alert button that closes the alert.")},
        {reasonWaylandSessionForX11, 0,
         QStringLiteral("Sentence added to the keyboard-access alerts: X11 observed in a Wayland session.")},
        {reasonNoDisplay, 0, QStringLiteral("Sentence added to the keyboard-access alerts. Keep DISPLAY.")},
        {reasonDisplayUnreachable, 1,
         QStringLiteral("Sentence added to the keyboard-access alerts. %1: the X display's name (\":0\").")},
        {reasonDisplayLacksExtension, 2,
         QStringLiteral("Sentence added to the keyboard-access alerts. %1: the X display's name, %2: the X "
                        "extension and version Velmora needs (\"XInput 2.2\").")},
        {reasonDisplayWithoutScreen, 2,
         QStringLiteral("Sentence added to the keyboard-access alerts. %1: the X display's name, %2: a "
                        "screen number.")},
        {reasonNoReadableKeyboard, 0,
         QStringLiteral("Sentences added to the keyboard-access alerts on Wayland. Keep /dev/input, the "
                        "group name input and the command unchanged.")},
        {reasonShellSilent, 1,
         QStringLiteral("Sentence added to the keyboard-access alerts on GNOME. %1: the extension's id.")},
        {reasonExtensionOff, 1,
         QStringLiteral("Sentence added to the keyboard-access alerts on GNOME. %1: the extension's id. "
                        "Name the Extensions app as GNOME does in your language.")},
        {reasonExtensionFailed, 2,
         QStringLiteral("Sentences added to the keyboard-access alerts on GNOME. %1: the extension's id, "
                        "%2: GNOME Shell's own error message (in English).")},
        {reasonExtensionSilent, 1,
         QStringLiteral("Sentences added to the keyboard-access alerts on GNOME. %1: the extension's id.")},
        {reasonExtensionNotLoaded, 1,
         QStringLiteral("Sentences added to the keyboard-access alerts on GNOME. %1: the extension's id.")},
        {reasonDesktopUnsupported, 0,
         QStringLiteral("Sentences added to the keyboard-access alerts on a Wayland desktop Velmora has no "
                        "backend for.")},
        {updateAvailableTitle, 0,
         QStringLiteral("Alert title; also the tray menu item, followed by \" (version)\".")},
        {updateAvailableMessage, 3,
         QStringLiteral("Alert text. %1: the release's display name as the update feed gives it (for example \"Velmora 2.1\"), %2: installed version, %3: offered version.")},
        {download, 0, QStringLiteral("Alert button that downloads the update.")},
        {skipVersion, 0, QStringLiteral("Alert button; this version is not offered again.")},
        {remindLater, 0, QStringLiteral("Alert button.")},
        {noUpdatesTitle, 0, QStringLiteral("Alert title after a check found nothing newer.")},
        {noUpdatesMessage, 1, QStringLiteral("Alert text. %1: installed version.")},
        {updateCheckFailedTitle, 0,
         QStringLiteral("Alert title when the check for a newer version failed; the text below is not "
                        "translated.")},
        {updateDownloadFailedTitle, 0,
         QStringLiteral("Alert title when downloading or preparing an offered update failed; the text "
                        "below is not translated.")},
        {okButton, 0, QStringLiteral("Alert button.")},
        {updateDownloadedTitle, 0, QStringLiteral("Alert title.")},
        {updateDownloadedMessage, 1,
         QStringLiteral("Alert text; the file is already being opened. %1: file name in the Downloads folder.")},
        {showInFinder, 0, QStringLiteral("Alert button; shows the downloaded file in the file manager.")},
        {updateDownloading, 2,
         QStringLiteral("Tray menu row while an update downloads. %1: version being downloaded, %2: percent done (0-100).")},
        {debugInfoTitle, 0, QStringLiteral("Alert title, debug mode only.")},
        {debugInfoMessage, 0,
         QStringLiteral("Alert text; the system information went to standard output, which is visible "
                        "when Velmora runs in a terminal.")},
        {updateNotOpenedTitle, 0, QStringLiteral("Alert title when the downloaded update could not be opened.")},
        {updateNotOpenedMessage, 2,
         QStringLiteral("Alert text; no program on this computer opened the file. %1: file name, %2: folder it "
                        "was saved in. The buttons are ok_button and show_in_finder.")},
        {updateNotVerifiedTitle, 0,
         QStringLiteral("Alert title when a downloaded update fails its signature check and is not installed.")},
        {updateNotVerifiedMessage, 0, QStringLiteral("Alert text; the package was deleted unopened. The button is ok_button.")},
        {reasonExtensionRefused, 3,
         QStringLiteral("Keyboard-access alerts on GNOME, when GNOME Shell runs none of Velmora's extensions "
                        "(each is made for a list of GNOME versions). %1: GNOME Shell's version (\"51.0\"), %2: "
                        "the versions the extensions are made for (\"43, 44, 45, 46\"), %3: GNOME's major "
                        "version (\"51\").")},
        {shortcutLayoutTitle, 0,
         QStringLiteral("Label of the picker of the keyboard layout selected while a trigger key is held.")},
        {shortcutLayoutAutomatic, 0,
         QStringLiteral("First entry of that picker: the first installed English (US) layout; the other "
                        "entries are the layouts' own names.")},
        {menuSwitchingOff, 0,
         QStringLiteral("First tray menu item while Velmora cannot observe the keyboard, so no layout is "
                        "switched; choosing it explains what is missing and starts once access is granted.")},
        {traySwitchingOff, 0, QStringLiteral("Tooltip of the tray icon while that item is shown.")},
        {supportNotOpenedTitle, 0,
         QStringLiteral("Alert title after Help & Support found no program to open the web page.")},
        {supportNotOpenedMessage, 1,
         QStringLiteral("Alert text. %1: the support page's web address, for the user to open by hand. "
                        "The button is ok_button.")},
        {menuSwitchForShortcuts, 0,
         QStringLiteral("Tray menu item with a checkmark: switching layouts for shortcuts on (checked) or "
                        "paused (unchecked).")},
        {prefsApplications, 0, QStringLiteral("Preferences tab holding the applications without switching.")},
        {excludedTitle, 0,
         QStringLiteral("Preferences section heading: the applications in front of which a held trigger key "
                        "selects no layout.")},
        {excludedDescription, 0, QStringLiteral("Caption under that heading.")},
        {excludedAdd, 0,
         QStringLiteral("Button that offers the running and installed applications to add to that list.")},
        {excludedRemove, 0, QStringLiteral("Button that takes the selected application off that list.")},
        {excludedNoFocus, 0,
         QStringLiteral("Note under that list on desktops that do not tell which window has the focus.")},
        {excludedPickTitle, 0, QStringLiteral("Title of the window that adds an application to that list.")},
        {excludedPickLabel, 0,
         QStringLiteral("Its label: the running applications come first, then the installed ones; an "
                        "identifier can be typed.")},
        {excludedRunning, 0,
         QStringLiteral(
             "Suffix after a running application's name in that window, e.g. \"Firefox — running\".")},
        {cancelButton, 0, QStringLiteral("Button that closes a window without a change.")},
    };
    return entries;
}

} // namespace velmora::LocalizationKeys
