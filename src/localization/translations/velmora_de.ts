<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
    <context>
        <name></name>
        <message id="menu_preferences">
            <source>Preferences</source>
            <extracomment>Tray menu item that opens the preferences window.</extracomment>
            <translation>Einstellungen</translation>
        </message>
        <message id="menu_check_updates">
            <source>Check for Updates</source>
            <extracomment>Tray menu item; checks for a newer version and reports the result.</extracomment>
            <translation>Nach Aktualisierungen suchen</translation>
        </message>
        <message id="menu_help_support">
            <source>Help &amp; Support</source>
            <extracomment>Tray menu item; opens the support page in the web browser.</extracomment>
            <translation>Hilfe und Support</translation>
        </message>
        <message id="menu_debug_info">
            <source>Debug Information</source>
            <extracomment>Tray menu item, shown only in debug mode.</extracomment>
            <translation>Debug-Informationen</translation>
        </message>
        <message id="menu_quit">
            <source>Quit Velmora</source>
            <extracomment>Tray menu item that ends Velmora.</extracomment>
            <translation>Velmora beenden</translation>
        </message>
        <message id="app_name">
            <source>Velmora</source>
            <extracomment>Product name, the preferences window title. Keep &quot;Velmora&quot;: the window is found by it.</extracomment>
            <translation>Velmora</translation>
        </message>
        <message id="prefs_general">
            <source>General</source>
            <extracomment>Preferences tab.</extracomment>
            <translation>Allgemein</translation>
        </message>
        <message id="prefs_advanced">
            <source>Advanced</source>
            <extracomment>Preferences tab.</extracomment>
            <translation>Erweitert</translation>
        </message>
        <message id="language_title">
            <source>Language</source>
            <extracomment>Section heading and title of the interface language picker.</extracomment>
            <translation>Sprache</translation>
        </message>
        <message id="language_description">
            <source>The language of Velmora’s menus and windows.</source>
            <extracomment>Caption under the language heading.</extracomment>
            <translation>Die Sprache der Menüs und Fenster von Velmora.</translation>
        </message>
        <message id="language_system_default">
            <source>System Default</source>
            <extracomment>Language picker entry: follow the desktop's language. The other entries are language names in their own language and are not translated.</extracomment>
            <translation>Systemsprache</translation>
        </message>
        <message id="trigger_keys_title">
            <source>Trigger Keys</source>
            <extracomment>Section heading: the modifier keys that switch to English.</extracomment>
            <translation>Auslösetasten</translation>
        </message>
        <message id="trigger_keys_description">
            <source>While any of these keys is held, Velmora selects an English layout.</source>
            <extracomment>Caption under the trigger keys heading.</extracomment>
            <translation>Solange eine dieser Tasten gedrückt ist, wählt Velmora eine englische Tastaturbelegung.</translation>
        </message>
        <message id="key_command">
            <source>Super</source>
            <extracomment>Checkbox: the Super (Windows logo) key. Use the key's usual local name.</extracomment>
            <translation>Super</translation>
        </message>
        <message id="key_control">
            <source>Ctrl</source>
            <extracomment>Checkbox: the Ctrl key, named as printed on local keyboards.</extracomment>
            <translation>Strg</translation>
        </message>
        <message id="key_option">
            <source>Alt</source>
            <extracomment>Checkbox: the Alt key, named as printed on local keyboards.</extracomment>
            <translation>Alt</translation>
        </message>
        <message id="key_shift">
            <source>Shift</source>
            <extracomment>Checkbox: the Shift key, named as printed on local keyboards.</extracomment>
            <translation>Umschalt</translation>
        </message>
        <message id="switching_behavior_title">
            <source>Switching</source>
            <extracomment>Section heading.</extracomment>
            <translation>Umschalten</translation>
        </message>
        <message id="switch_to_english">
            <source>Switch to English while a trigger key is held</source>
            <extracomment>Checkbox.</extracomment>
            <translation>Auf Englisch wechseln, solange eine Auslösetaste gedrückt ist</translation>
        </message>
        <message id="restore_previous_layout">
            <source>Restore the previous layout on release</source>
            <extracomment>Checkbox.</extracomment>
            <translation>Vorherige Belegung beim Loslassen wiederherstellen</translation>
        </message>
        <message id="launch_settings_title">
            <source>Startup &amp; Tray Icon</source>
            <extracomment>Section heading over &quot;start at login&quot; and &quot;show the tray icon&quot;.</extracomment>
            <translation>Start und Symbol</translation>
        </message>
        <message id="start_at_login">
            <source>Start Velmora at login</source>
            <extracomment>Checkbox.</extracomment>
            <translation>Velmora bei der Anmeldung starten</translation>
        </message>
        <message id="show_menu_bar_icon">
            <source>Show icon in the system tray</source>
            <extracomment>Checkbox: the icon in the system tray.</extracomment>
            <translation>Symbol in der Systemleiste anzeigen</translation>
        </message>
        <message id="menu_bar_hidden_title">
            <source>Tray Icon Hidden</source>
            <extracomment>Alert title after the user hid the tray icon.</extracomment>
            <translation>Symbol ausgeblendet</translation>
        </message>
        <message id="menu_bar_hidden_message">
            <source>To open Velmora’s preferences again, start Velmora once more from your applications menu.</source>
            <extracomment>Alert text: starting Velmora again while it runs opens its preferences.</extracomment>
            <translation>Um die Einstellungen von Velmora wieder zu öffnen, starten Sie Velmora erneut über das Anwendungsmenü.</translation>
        </message>
        <message id="menu_bar_hidden_ok">
            <source>OK</source>
            <extracomment>Alert button that accepts the hidden icon.</extracomment>
            <translation>OK</translation>
        </message>
        <message id="menu_bar_hidden_show_again">
            <source>Show Icon</source>
            <extracomment>Alert button that shows the tray icon again.</extracomment>
            <translation>Symbol anzeigen</translation>
        </message>
        <message id="welcome_title">
            <source>Welcome to Velmora</source>
            <extracomment>First onboarding page heading, also the onboarding window title (line breaks become spaces there).</extracomment>
            <translation>Willkommen bei Velmora</translation>
        </message>
        <message id="welcome_subtitle">
            <source>Keyboard shortcuts that work in any layout</source>
            <extracomment>First onboarding page.</extracomment>
            <translation>Tastenkürzel, die mit jeder Tastaturbelegung funktionieren</translation>
        </message>
        <message id="welcome_feature_1">
            <source>Hold Ctrl, Alt or Super and Velmora switches to English for the shortcut</source>
            <extracomment>First onboarding page, feature list.</extracomment>
            <translation>Solange Sie Strg, Alt oder Super gedrückt halten, wechselt Velmora für das Tastenkürzel auf Englisch</translation>
        </message>
        <message id="welcome_feature_2">
            <source>Release the key and your previous layout comes back</source>
            <extracomment>First onboarding page, feature list.</extracomment>
            <translation>Beim Loslassen kehrt Ihre vorherige Belegung zurück</translation>
        </message>
        <message id="welcome_feature_3">
            <source>Runs quietly in the system tray</source>
            <extracomment>First onboarding page, feature list.</extracomment>
            <translation>Läuft unauffällig in der Systemleiste</translation>
        </message>
        <message id="permission_title">
            <source>Keyboard Access</source>
            <extracomment>Second onboarding page heading.</extracomment>
            <translation>Tastaturzugriff</translation>
        </message>
        <message id="permission_subtitle">
            <source>Velmora watches the modifier keys to know when to switch layouts</source>
            <extracomment>Second onboarding page.</extracomment>
            <translation>Velmora beobachtet die Modifikatortasten, um zu wissen, wann die Belegung gewechselt werden soll</translation>
        </message>
        <message id="permission_feature_1">
            <source>Key presses reach your apps unchanged</source>
            <extracomment>Second onboarding page, feature list.</extracomment>
            <translation>Tastendrücke erreichen Ihre Anwendungen unverändert</translation>
        </message>
        <message id="permission_feature_2">
            <source>Nothing you type is stored or sent anywhere</source>
            <extracomment>Second onboarding page, feature list.</extracomment>
            <translation>Nichts, was Sie tippen, wird gespeichert oder gesendet</translation>
        </message>
        <message id="permission_feature_3">
            <source>Works on X11, and on Wayland with sway, KDE Plasma or GNOME, where Velmora reads the keyboard devices and needs the input group</source>
            <extracomment>Second onboarding page, feature list.</extracomment>
            <translation>Läuft unter X11 und unter Wayland mit sway, KDE Plasma oder GNOME, wo Velmora die Tastaturgeräte liest und die Gruppe input benötigt</translation>
        </message>
        <message id="permission_feature_4">
            <source>Choose the trigger keys in Preferences</source>
            <extracomment>Second onboarding page, feature list.</extracomment>
            <translation>Die Auslösetasten wählen Sie in den Einstellungen</translation>
        </message>
        <message id="back">
            <source>Back</source>
            <extracomment>Onboarding button.</extracomment>
            <translation>Zurück</translation>
        </message>
        <message id="continue">
            <source>Continue</source>
            <extracomment>Onboarding button.</extracomment>
            <translation>Weiter</translation>
        </message>
        <message id="get_started">
            <source>Get Started</source>
            <extracomment>Onboarding button on the last page.</extracomment>
            <translation>Loslegen</translation>
        </message>
        <message id="skip">
            <source>Skip</source>
            <extracomment>Onboarding button that closes the onboarding.</extracomment>
            <translation>Überspringen</translation>
        </message>
        <message id="enable_accessibility_alert_title">
            <source>Keyboard Access Unavailable</source>
            <extracomment>Alert title when setup ends but the keyboard cannot be observed.</extracomment>
            <translation>Kein Tastaturzugriff</translation>
        </message>
        <message id="enable_accessibility_alert_message">
            <source>Velmora can’t observe the keyboard in this session, so layouts won’t switch. The help explains what Velmora needs; once it has access, Velmora starts switching by itself.</source>
            <extracomment>Alert text.</extracomment>
            <translation>Velmora kann die Tastatur in dieser Sitzung nicht beobachten, daher wird die Belegung nicht gewechselt. Die Hilfe erklärt, was Velmora benötigt; sobald der Zugriff besteht, beginnt Velmora von selbst.</translation>
        </message>
        <message id="accessibility_permissions_title">
            <source>Keyboard Access Needed</source>
            <extracomment>Alert title at start-up when the keyboard cannot be observed.</extracomment>
            <translation>Tastaturzugriff erforderlich</translation>
        </message>
        <message id="accessibility_permissions_message">
            <source>To switch layouts while you hold a shortcut key, Velmora needs to observe the keyboard. On X11 it does so through the X server; on Wayland (sway, KDE Plasma, GNOME) it reads the keyboard devices, which needs membership in the input group.</source>
            <extracomment>Alert text.</extracomment>
            <translation>Um die Belegung zu wechseln, während Sie eine Kürzeltaste gedrückt halten, muss Velmora die Tastatur beobachten. Unter X11 geschieht das über den X-Server; unter Wayland (sway, KDE Plasma, GNOME) liest Velmora die Tastaturgeräte, wofür die Mitgliedschaft in der Gruppe input nötig ist.</translation>
        </message>
        <message id="open_settings">
            <source>Learn More</source>
            <extracomment>Alert button; opens help on what Velmora needs to observe the keyboard.</extracomment>
            <translation>Mehr erfahren</translation>
        </message>
        <message id="later">
            <source>Later</source>
            <extracomment>Alert button that closes the alert.</extracomment>
            <translation>Später</translation>
        </message>
        <message id="keyboard_reason_wayland_x11">
            <source>This is a Wayland session, where an X11 program cannot observe the whole keyboard.</source>
            <extracomment>Sentence added to the keyboard-access alerts: X11 observed in a Wayland session.</extracomment>
            <translation>Dies ist eine Wayland-Sitzung, in der ein X11-Programm nicht die ganze Tastatur beobachten kann.</translation>
        </message>
        <message id="keyboard_reason_no_display">
            <source>No X display is set (DISPLAY is empty).</source>
            <extracomment>Sentence added to the keyboard-access alerts. Keep DISPLAY.</extracomment>
            <translation>Es ist keine X-Anzeige festgelegt (DISPLAY ist leer).</translation>
        </message>
        <message id="keyboard_reason_display_unreachable">
            <source>Velmora cannot connect to the X display %1.</source>
            <extracomment>Sentence added to the keyboard-access alerts. %1: the X display's name (&quot;:0&quot;).</extracomment>
            <translation>Velmora kann keine Verbindung zur X-Anzeige %1 herstellen.</translation>
        </message>
        <message id="keyboard_reason_display_lacks_extension">
            <source>The X display %1 does not offer %2, which Velmora needs.</source>
            <extracomment>Sentence added to the keyboard-access alerts. %1: the X display's name, %2: the X extension and version Velmora needs (&quot;XInput 2.2&quot;).</extracomment>
            <translation>Die X-Anzeige %1 bietet kein %2, das Velmora benötigt.</translation>
        </message>
        <message id="keyboard_reason_display_without_screen">
            <source>The X display %1 has no screen %2.</source>
            <extracomment>Sentence added to the keyboard-access alerts. %1: the X display's name, %2: a screen number.</extracomment>
            <translation>Die X-Anzeige %1 hat keinen Bildschirm %2.</translation>
        </message>
        <message id="keyboard_reason_no_readable_keyboard">
            <source>No keyboard device in /dev/input can be read. On Wayland Velmora reads the keyboard devices, which needs membership in the input group (sudo usermod -aG input $USER, then log out and back in). That access could read every key; Velmora reads only which modifier keys are held.</source>
            <extracomment>Sentences added to the keyboard-access alerts on Wayland. Keep /dev/input, the group name input and the command unchanged.</extracomment>
            <translation>Kein Tastaturgerät in /dev/input ist lesbar. Unter Wayland liest Velmora die Tastaturgeräte, wofür die Mitgliedschaft in der Gruppe input nötig ist (sudo usermod -aG input $USER, dann ab- und wieder anmelden). Dieser Zugriff könnte jede Taste lesen; Velmora liest nur, welche Modifikatortasten gehalten werden.</translation>
        </message>
        <message id="keyboard_reason_shell_silent">
            <source>GNOME Shell does not answer on the session bus, so Velmora’s GNOME Shell extension (%1) cannot run.</source>
            <extracomment>Sentence added to the keyboard-access alerts on GNOME. %1: the extension's id.</extracomment>
            <translation>GNOME Shell antwortet nicht auf dem Sitzungsbus, daher kann die GNOME-Shell-Erweiterung von Velmora (%1) nicht laufen.</translation>
        </message>
        <message id="keyboard_reason_extension_off">
            <source>Velmora’s GNOME Shell extension (%1) is turned off; turn it on in GNOME’s Extensions app.</source>
            <extracomment>Sentence added to the keyboard-access alerts on GNOME. %1: the extension's id. Name the Extensions app as GNOME does in your language.</extracomment>
            <translation>Die GNOME-Shell-Erweiterung von Velmora (%1) ist ausgeschaltet; schalten Sie sie in der App „Erweiterungen“ von GNOME ein.</translation>
        </message>
        <message id="keyboard_reason_extension_failed">
            <source>GNOME Shell could not run Velmora’s extension (%1): %2. Log out and back in; if that does not help, reinstall Velmora.</source>
            <extracomment>Sentences added to the keyboard-access alerts on GNOME. %1: the extension's id, %2: GNOME Shell's own error message (in English).</extracomment>
            <translation>GNOME Shell konnte die Erweiterung von Velmora (%1) nicht ausführen: %2. Melden Sie sich ab und wieder an; hilft das nicht, installieren Sie Velmora neu.</translation>
        </message>
        <message id="keyboard_reason_extension_silent">
            <source>Velmora’s GNOME Shell extension (%1) is on but does not answer. Log out and back in.</source>
            <extracomment>Sentences added to the keyboard-access alerts on GNOME. %1: the extension's id.</extracomment>
            <translation>Die GNOME-Shell-Erweiterung von Velmora (%1) ist eingeschaltet, antwortet aber nicht. Melden Sie sich ab und wieder an.</translation>
        </message>
        <message id="keyboard_reason_extension_not_loaded">
            <source>GNOME Shell has not loaded Velmora’s extension (%1); it finds new extensions only when it starts. Log out and back in.</source>
            <extracomment>Sentences added to the keyboard-access alerts on GNOME. %1: the extension's id.</extracomment>
            <translation>GNOME Shell hat die Erweiterung von Velmora (%1) nicht geladen; neue Erweiterungen findet es nur beim Start. Melden Sie sich ab und wieder an.</translation>
        </message>
        <message id="keyboard_reason_desktop_unsupported">
            <source>Velmora does not switch layouts on this Wayland desktop. It works on X11, and on sway, KDE Plasma and GNOME.</source>
            <extracomment>Sentences added to the keyboard-access alerts on a Wayland desktop Velmora has no backend for.</extracomment>
            <translation>Velmora wechselt auf dieser Wayland-Arbeitsumgebung keine Belegungen. Es funktioniert unter X11 sowie mit sway, KDE Plasma und GNOME.</translation>
        </message>
        <message id="update_available_title">
            <source>Update Available</source>
            <extracomment>Alert title; also the tray menu item, followed by &quot; (version)&quot;.</extracomment>
            <translation>Aktualisierung verfügbar</translation>
        </message>
        <message id="update_available_message">
            <source>%1 is available (version %3). You have version %2.</source>
            <extracomment>Alert text. %1: the release's display name as the update feed gives it (for example &quot;Velmora 2.1&quot;), %2: installed version, %3: offered version.</extracomment>
            <translation>%1 ist verfügbar (Version %3). Sie verwenden Version %2.</translation>
        </message>
        <message id="download">
            <source>Download</source>
            <extracomment>Alert button that downloads the update.</extracomment>
            <translation>Herunterladen</translation>
        </message>
        <message id="skip_version">
            <source>Skip This Version</source>
            <extracomment>Alert button; this version is not offered again.</extracomment>
            <translation>Diese Version überspringen</translation>
        </message>
        <message id="remind_later">
            <source>Remind Me Later</source>
            <extracomment>Alert button.</extracomment>
            <translation>Später erinnern</translation>
        </message>
        <message id="no_updates_title">
            <source>You’re Up to Date</source>
            <extracomment>Alert title after a check found nothing newer.</extracomment>
            <translation>Velmora ist aktuell</translation>
        </message>
        <message id="no_updates_message">
            <source>Velmora %1 is the latest version.</source>
            <extracomment>Alert text. %1: installed version.</extracomment>
            <translation>Velmora %1 ist die neueste Version.</translation>
        </message>
        <message id="update_check_failed_title">
            <source>Update Check Failed</source>
            <extracomment>Alert title when the check for a newer version failed; the text below is not translated.</extracomment>
            <translation>Suche nach Aktualisierungen fehlgeschlagen</translation>
        </message>
        <message id="update_download_failed_title">
            <source>Update Download Failed</source>
            <extracomment>Alert title when downloading or preparing an offered update failed; the text below is not translated.</extracomment>
            <translation>Herunterladen der Aktualisierung fehlgeschlagen</translation>
        </message>
        <message id="ok_button">
            <source>OK</source>
            <extracomment>Alert button.</extracomment>
            <translation>OK</translation>
        </message>
        <message id="update_downloaded_title">
            <source>Update Downloaded</source>
            <extracomment>Alert title.</extracomment>
            <translation>Aktualisierung heruntergeladen</translation>
        </message>
        <message id="update_downloaded_message">
            <source>%1 was saved to your Downloads folder and is opening now.</source>
            <extracomment>Alert text; the file is already being opened. %1: file name in the Downloads folder.</extracomment>
            <translation>%1 wurde in Ihrem Downloads-Ordner gespeichert und wird jetzt geöffnet.</translation>
        </message>
        <message id="show_in_finder">
            <source>Show in File Manager</source>
            <extracomment>Alert button; shows the downloaded file in the file manager.</extracomment>
            <translation>In der Dateiverwaltung anzeigen</translation>
        </message>
        <message id="update_downloading">
            <source>Downloading %1… %2 %</source>
            <extracomment>Tray menu row while an update downloads. %1: version being downloaded, %2: percent done (0-100).</extracomment>
            <translation>%1 wird geladen … %2 %</translation>
        </message>
        <message id="debug_info_title">
            <source>Debug Information</source>
            <extracomment>Alert title, debug mode only.</extracomment>
            <translation>Debug-Informationen</translation>
        </message>
        <message id="debug_info_message">
            <source>System information was written to standard output. Start Velmora from a terminal to see it.</source>
            <extracomment>Alert text; the system information went to standard output, which is visible when Velmora runs in a terminal.</extracomment>
            <translation>Die Systeminformationen wurden in die Standardausgabe geschrieben. Starten Sie Velmora in einem Terminal, um sie zu sehen.</translation>
        </message>
        <message id="update_not_opened_title">
            <source>Could Not Open the Update</source>
            <extracomment>Alert title when the downloaded update could not be opened.</extracomment>
            <translation>Update konnte nicht geöffnet werden</translation>
        </message>
        <message id="update_not_opened_message">
            <source>%1 was saved to %2, but it could not be opened. Show it in the file manager to install it from there.</source>
            <extracomment>Alert text; no program on this computer opened the file. %1: file name, %2: folder it was saved in. The buttons are ok_button and show_in_finder.</extracomment>
            <translation>%1 wurde in %2 gespeichert, konnte aber nicht geöffnet werden. Zeigen Sie die Datei in der Dateiverwaltung an, um sie von dort aus zu installieren.</translation>
        </message>
        <message id="update_not_verified_title">
            <source>Could Not Verify the Update</source>
            <extracomment>Alert title when a downloaded update fails its signature check and is not installed.</extracomment>
            <translation>Update konnte nicht überprüft werden</translation>
        </message>
        <message id="update_not_verified_message">
            <source>The downloaded update could not be verified as coming from the Velmora developers, so it was removed and not installed. Your current version keeps working; try again later, or download Velmora from its web site.</source>
            <extracomment>Alert text; the package was deleted unopened. The button is ok_button.</extracomment>
            <translation>Es konnte nicht bestätigt werden, dass das heruntergeladene Update von den Velmora-Entwicklern stammt. Es wurde daher gelöscht und nicht installiert. Ihre aktuelle Version funktioniert weiterhin; versuchen Sie es später erneut oder laden Sie Velmora von der Website herunter.</translation>
        </message>
        <message id="keyboard_reason_extension_refused">
            <source>GNOME Shell %1 runs none of Velmora's GNOME Shell extensions, which are made for GNOME %2. Install a Velmora release made for GNOME %3, then log out and back in.</source>
            <extracomment>Keyboard-access alerts on GNOME, when GNOME Shell runs none of Velmora's extensions (each is made for a list of GNOME versions). %1: GNOME Shell's version (&quot;51.0&quot;), %2: the versions the extensions are made for (&quot;43, 44, 45, 46&quot;), %3: GNOME's major version (&quot;51&quot;).</extracomment>
            <translation>GNOME Shell %1 führt keine der GNOME-Shell-Erweiterungen von Velmora aus; sie sind für GNOME %2 gemacht. Installieren Sie eine Velmora-Version für GNOME %3, melden Sie sich dann ab und wieder an.</translation>
        </message>
        <message id="shortcut_layout_title">
            <source>Layout for shortcuts</source>
            <extracomment>Label of the picker of the keyboard layout selected while a trigger key is held.</extracomment>
            <translation>Layout für Tastenkürzel</translation>
        </message>
        <message id="shortcut_layout_automatic">
            <source>English (automatic)</source>
            <extracomment>First entry of that picker: the first installed English (US) layout; the other entries are the layouts' own names.</extracomment>
            <translation>Englisch (automatisch)</translation>
        </message>
        <message id="menu_switching_off">
            <source>Switching Is Off — Turn On…</source>
            <extracomment>First tray menu item while Velmora cannot observe the keyboard, so no layout is switched; choosing it explains what is missing and starts once access is granted.</extracomment>
            <translation>Umschalten der Belegung ist aus — Einschalten…</translation>
        </message>
        <message id="tray_switching_off">
            <source>Velmora: switching is off, keyboard access is missing</source>
            <extracomment>Tooltip of the tray icon while that item is shown.</extracomment>
            <translation>Velmora: Umschalten der Belegung ist aus, Tastaturzugriff fehlt</translation>
        </message>
        <message id="support_not_opened_title">
            <source>Could Not Open the Support Page</source>
            <extracomment>Alert title after Help &amp; Support found no program to open the web page.</extracomment>
            <translation>Support-Seite konnte nicht geöffnet werden</translation>
        </message>
        <message id="support_not_opened_message">
            <source>No program on this computer opened the web page. Open %1 in a web browser.</source>
            <extracomment>Alert text. %1: the support page's web address, for the user to open by hand. The button is ok_button.</extracomment>
            <translation>Kein Programm auf diesem Computer hat die Webseite geöffnet. Öffnen Sie %1 in einem Webbrowser.</translation>
        </message>
        <message id="menu_switch_for_shortcuts">
            <source>Switch Layouts for Shortcuts</source>
            <extracomment>Tray menu item with a checkmark: switching layouts for shortcuts on (checked) or paused (unchecked).</extracomment>
            <translation>Belegung für Tastenkürzel umschalten</translation>
        </message>
        <message id="prefs_applications">
            <source>Applications</source>
            <extracomment>Preferences tab holding the applications without switching.</extracomment>
            <translation>Programme</translation>
        </message>
        <message id="excluded_title">
            <source>Applications Without Switching</source>
            <extracomment>Preferences section heading: the applications in front of which a held trigger key selects no layout.</extracomment>
            <translation>Programme ohne Umschalten</translation>
        </message>
        <message id="excluded_description">
            <source>While one of these applications is in front, a held trigger key keeps the current layout: games, remote desktops, virtual machines.</source>
            <extracomment>Caption under that heading.</extracomment>
            <translation>Solange eines dieser Programme vorne ist, bleibt beim Halten einer Auslösetaste die aktuelle Belegung: Spiele, entfernte Desktops, virtuelle Maschinen.</translation>
        </message>
        <message id="excluded_add">
            <source>Add…</source>
            <extracomment>Button that offers the running and installed applications to add to that list.</extracomment>
            <translation>Hinzufügen…</translation>
        </message>
        <message id="excluded_remove">
            <source>Remove</source>
            <extracomment>Button that takes the selected application off that list.</extracomment>
            <translation>Entfernen</translation>
        </message>
        <message id="excluded_no_focus">
            <source>This desktop does not tell Velmora which application is in front: the list has no effect here.</source>
            <extracomment>Note under that list on desktops that do not tell which window has the focus.</extracomment>
            <translation>Diese Arbeitsumgebung teilt Velmora nicht mit, welches Programm vorne ist: Die Liste wirkt hier nicht.</translation>
        </message>
        <message id="excluded_pick_title">
            <source>Add an Application</source>
            <extracomment>Title of the window that adds an application to that list.</extracomment>
            <translation>Programm hinzufügen</translation>
        </message>
        <message id="excluded_pick_label">
            <source>Choose a running or installed application, or type its identifier:</source>
            <extracomment>Its label: the running applications come first, then the installed ones; an identifier can be typed.</extracomment>
            <translation>Wählen Sie ein laufendes oder installiertes Programm, oder geben Sie seine Kennung ein:</translation>
        </message>
        <message id="excluded_running">
            <source>running</source>
            <extracomment>Suffix after a running application's name in that window, e.g. "Firefox — running".</extracomment>
            <translation>läuft</translation>
        </message>
        <message id="cancel_button">
            <source>Cancel</source>
            <extracomment>Button that closes a window without a change.</extracomment>
            <translation>Abbrechen</translation>
        </message>
    </context>
</TS>
