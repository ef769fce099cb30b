<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru" sourcelanguage="en">
    <context>
        <name></name>
        <message id="menu_preferences">
            <source>Preferences</source>
            <extracomment>Tray menu item that opens the preferences window.</extracomment>
            <translation>Настройки</translation>
        </message>
        <message id="menu_check_updates">
            <source>Check for Updates</source>
            <extracomment>Tray menu item; checks for a newer version and reports the result.</extracomment>
            <translation>Проверить обновления</translation>
        </message>
        <message id="menu_help_support">
            <source>Help &amp; Support</source>
            <extracomment>Tray menu item; opens the support page in the web browser.</extracomment>
            <translation>Справка и поддержка</translation>
        </message>
        <message id="menu_debug_info">
            <source>Debug Information</source>
            <extracomment>Tray menu item, shown only in debug mode.</extracomment>
            <translation>Отладочная информация</translation>
        </message>
        <message id="menu_quit">
            <source>Quit Velmora</source>
            <extracomment>Tray menu item that ends Velmora.</extracomment>
            <translation>Выйти из Velmora</translation>
        </message>
        <message id="app_name">
            <source>Velmora</source>
            <extracomment>Product name, the preferences window title. Keep &quot;Velmora&quot;: the window is found by it.</extracomment>
            <translation>Velmora</translation>
        </message>
        <message id="prefs_general">
            <source>General</source>
            <extracomment>Preferences tab.</extracomment>
            <translation>Основные</translation>
        </message>
        <message id="prefs_advanced">
            <source>Advanced</source>
            <extracomment>Preferences tab.</extracomment>
            <translation>Дополнительно</translation>
        </message>
        <message id="language_title">
            <source>Language</source>
            <extracomment>Section heading and title of the interface language picker.</extracomment>
            <translation>Язык</translation>
        </message>
        <message id="language_description">
            <source>The language of Velmora’s menus and windows.</source>
            <extracomment>Caption under the language heading.</extracomment>
            <translation>Язык меню и окон Velmora.</translation>
        </message>
        <message id="language_system_default">
            <source>System Default</source>
            <extracomment>Language picker entry: follow the desktop's language. The other entries are language names in their own language and are not translated.</extracomment>
            <translation>Как в системе</translation>
        </message>
        <message id="trigger_keys_title">
            <source>Trigger Keys</source>
            <extracomment>Section heading: the modifier keys that switch to English.</extracomment>
            <translation>Клавиши активации</translation>
        </message>
        <message id="trigger_keys_description">
            <source>While any of these keys is held, Velmora selects an English layout.</source>
            <extracomment>Caption under the trigger keys heading.</extracomment>
            <translation>Пока удерживается любая из этих клавиш, Velmora включает английскую раскладку.</translation>
        </message>
        <message id="key_command">
            <source>Super</source>
            <extracomment>Checkbox: the Super (Windows logo) key. Use the key's usual local name.</extracomment>
            <translation>Super</translation>
        </message>
        <message id="key_control">
            <source>Ctrl</source>
            <extracomment>Checkbox: the Ctrl key, named as printed on local keyboards.</extracomment>
            <translation>Ctrl</translation>
        </message>
        <message id="key_option">
            <source>Alt</source>
            <extracomment>Checkbox: the Alt key, named as printed on local keyboards.</extracomment>
            <translation>Alt</translation>
        </message>
        <message id="key_shift">
            <source>Shift</source>
            <extracomment>Checkbox: the Shift key, named as printed on local keyboards.</extracomment>
            <translation>Shift</translation>
        </message>
        <message id="switching_behavior_title">
            <source>Switching</source>
            <extracomment>Section heading.</extracomment>
            <translation>Переключение</translation>
        </message>
        <message id="switch_to_english">
            <source>Switch to English while a trigger key is held</source>
            <extracomment>Checkbox.</extracomment>
            <translation>Включать английскую раскладку, пока удерживается клавиша активации</translation>
        </message>
        <message id="restore_previous_layout">
            <source>Restore the previous layout on release</source>
            <extracomment>Checkbox.</extracomment>
            <translation>Возвращать прежнюю раскладку, когда клавиша отпущена</translation>
        </message>
        <message id="launch_settings_title">
            <source>Startup &amp; Tray Icon</source>
            <extracomment>Section heading over &quot;start at login&quot; and &quot;show the tray icon&quot;.</extracomment>
            <translation>Запуск и значок</translation>
        </message>
        <message id="start_at_login">
            <source>Start Velmora at login</source>
            <extracomment>Checkbox.</extracomment>
            <translation>Запускать Velmora при входе в систему</translation>
        </message>
        <message id="show_menu_bar_icon">
            <source>Show icon in the system tray</source>
            <extracomment>Checkbox: the icon in the system tray.</extracomment>
            <translation>Показывать значок в системном лотке</translation>
        </message>
        <message id="menu_bar_hidden_title">
            <source>Tray Icon Hidden</source>
            <extracomment>Alert title after the user hid the tray icon.</extracomment>
            <translation>Значок скрыт</translation>
        </message>
        <message id="menu_bar_hidden_message">
            <source>To open Velmora’s preferences again, start Velmora once more from your applications menu.</source>
            <extracomment>Alert text: starting Velmora again while it runs opens its preferences.</extracomment>
            <translation>Чтобы снова открыть настройки Velmora, запустите Velmora ещё раз из меню приложений.</translation>
        </message>
        <message id="menu_bar_hidden_ok">
            <source>OK</source>
            <extracomment>Alert button that accepts the hidden icon.</extracomment>
            <translation>ОК</translation>
        </message>
        <message id="menu_bar_hidden_show_again">
            <source>Show Icon</source>
            <extracomment>Alert button that shows the tray icon again.</extracomment>
            <translation>Показать значок</translation>
        </message>
        <message id="welcome_title">
            <source>Welcome to Velmora</source>
            <extracomment>First onboarding page heading, also the onboarding window title (line breaks become spaces there).</extracomment>
            <translation>Добро пожаловать в Velmora</translation>
        </message>
        <message id="welcome_subtitle">
            <source>Keyboard shortcuts that work in any layout</source>
            <extracomment>First onboarding page.</extracomment>
            <translation>Сочетания клавиш, которые работают в любой раскладке</translation>
        </message>
        <message id="welcome_feature_1">
            <source>Hold Ctrl, Alt or Super and Velmora switches to English for the shortcut</source>
            <extracomment>First onboarding page, feature list.</extracomment>
            <translation>Удерживайте Ctrl, Alt или Super — Velmora включит английскую раскладку на время сочетания</translation>
        </message>
        <message id="welcome_feature_2">
            <source>Release the key and your previous layout comes back</source>
            <extracomment>First onboarding page, feature list.</extracomment>
            <translation>Отпустите клавишу — вернётся прежняя раскладка</translation>
        </message>
        <message id="welcome_feature_3">
            <source>Runs quietly in the system tray</source>
            <extracomment>First onboarding page, feature list.</extracomment>
            <translation>Работает незаметно из системного лотка</translation>
        </message>
        <message id="permission_title">
            <source>Keyboard Access</source>
            <extracomment>Second onboarding page heading.</extracomment>
            <translation>Доступ к клавиатуре</translation>
        </message>
        <message id="permission_subtitle">
            <source>Velmora watches the modifier keys to know when to switch layouts</source>
            <extracomment>Second onboarding page.</extracomment>
            <translation>Velmora следит за клавишами-модификаторами, чтобы знать, когда переключать раскладку</translation>
        </message>
        <message id="permission_feature_1">
            <source>Key presses reach your apps unchanged</source>
            <extracomment>Second onboarding page, feature list.</extracomment>
            <translation>Нажатия клавиш доходят до приложений без изменений</translation>
        </message>
        <message id="permission_feature_2">
            <source>Nothing you type is stored or sent anywhere</source>
            <extracomment>Second onboarding page, feature list.</extracomment>
            <translation>Ничего из набранного не сохраняется и не передаётся</translation>
        </message>
        <message id="permission_feature_3">
            <source>Works on X11, and on Wayland with sway, KDE Plasma or GNOME, where Velmora reads the keyboard devices and needs the input group</source>
            <extracomment>Second onboarding page, feature list.</extracomment>
            <translation>Работает в X11, а в Wayland — в sway, KDE Plasma и GNOME, где Velmora читает устройства клавиатуры и нужна группа input</translation>
        </message>
        <message id="permission_feature_4">
            <source>Choose the trigger keys in Preferences</source>
            <extracomment>Second onboarding page, feature list.</extracomment>
            <translation>Клавиши активации выбираются в настройках</translation>
        </message>
        <message id="back">
            <source>Back</source>
            <extracomment>Onboarding button.</extracomment>
            <translation>Назад</translation>
        </message>
        <message id="continue">
            <source>Continue</source>
            <extracomment>Onboarding button.</extracomment>
            <translation>Продолжить</translation>
        </message>
        <message id="get_started">
            <source>Get Started</source>
            <extracomment>Onboarding button on the last page.</extracomment>
            <translation>Начать</translation>
        </message>
        <message id="skip">
            <source>Skip</source>
            <extracomment>Onboarding button that closes the onboarding.</extracomment>
            <translation>Пропустить</translation>
        </message>
        <message id="enable_accessibility_alert_title">
            <source>Keyboard Access Unavailable</source>
            <extracomment>Alert title when setup ends but the keyboard cannot be observed.</extracomment>
            <translation>Нет доступа к клавиатуре</translation>
        </message>
        <message id="enable_accessibility_alert_message">
            <source>Velmora can’t observe the keyboard in this session, so layouts won’t switch. The help explains what Velmora needs; once it has access, Velmora starts switching by itself.</source>
            <extracomment>Alert text.</extracomment>
            <translation>В этом сеансе Velmora не может следить за клавиатурой, поэтому раскладка не будет переключаться. В справке описано, что нужно для работы Velmora; как только доступ появится, Velmora начнёт работать сама.</translation>
        </message>
        <message id="accessibility_permissions_title">
            <source>Keyboard Access Needed</source>
            <extracomment>Alert title at start-up when the keyboard cannot be observed.</extracomment>
            <translation>Нужен доступ к клавиатуре</translation>
        </message>
        <message id="accessibility_permissions_message">
            <source>To switch layouts while you hold a shortcut key, Velmora needs to observe the keyboard. On X11 it does so through the X server; on Wayland (sway, KDE Plasma, GNOME) it reads the keyboard devices, which needs membership in the input group.</source>
            <extracomment>Alert text.</extracomment>
            <translation>Чтобы переключать раскладку, пока вы удерживаете клавишу сочетания, Velmora нужно следить за клавиатурой. В X11 это делается через X-сервер; в Wayland (sway, KDE Plasma, GNOME) Velmora читает устройства клавиатуры, для чего нужно членство в группе input.</translation>
        </message>
        <message id="open_settings">
            <source>Learn More</source>
            <extracomment>Alert button; opens help on what Velmora needs to observe the keyboard.</extracomment>
            <translation>Подробнее</translation>
        </message>
        <message id="later">
            <source>Later</source>
            <extracomment>Alert button that closes the alert.</extracomment>
            <translation>Позже</translation>
        </message>
        <message id="keyboard_reason_wayland_x11">
            <source>This is a Wayland session, where an X11 program cannot observe the whole keyboard.</source>
            <extracomment>Sentence added to the keyboard-access alerts: X11 observed in a Wayland session.</extracomment>
            <translation>Это сеанс Wayland, в котором программа X11 не может следить за всей клавиатурой.</translation>
        </message>
        <message id="keyboard_reason_no_display">
            <source>No X display is set (DISPLAY is empty).</source>
            <extracomment>Sentence added to the keyboard-access alerts. Keep DISPLAY.</extracomment>
            <translation>X-дисплей не задан (переменная DISPLAY пуста).</translation>
        </message>
        <message id="keyboard_reason_display_unreachable">
            <source>Velmora cannot connect to the X display %1.</source>
            <extracomment>Sentence added to the keyboard-access alerts. %1: the X display's name (&quot;:0&quot;).</extracomment>
            <translation>Velmora не может подключиться к X-дисплею %1.</translation>
        </message>
        <message id="keyboard_reason_display_lacks_extension">
            <source>The X display %1 does not offer %2, which Velmora needs.</source>
            <extracomment>Sentence added to the keyboard-access alerts. %1: the X display's name, %2: the X extension and version Velmora needs (&quot;XInput 2.2&quot;).</extracomment>
            <translation>X-дисплей %1 не предоставляет %2, а Velmora это нужно.</translation>
        </message>
        <message id="keyboard_reason_display_without_screen">
            <source>The X display %1 has no screen %2.</source>
            <extracomment>Sentence added to the keyboard-access alerts. %1: the X display's name, %2: a screen number.</extracomment>
            <translation>У X-дисплея %1 нет экрана %2.</translation>
        </message>
        <message id="keyboard_reason_no_readable_keyboard">
            <source>No keyboard device in /dev/input can be read. On Wayland Velmora reads the keyboard devices, which needs membership in the input group (sudo usermod -aG input $USER, then log out and back in). That access could read every key; Velmora reads only which modifier keys are held.</source>
            <extracomment>Sentences added to the keyboard-access alerts on Wayland. Keep /dev/input, the group name input and the command unchanged.</extracomment>
            <translation>Ни одно устройство клавиатуры в /dev/input недоступно для чтения. В Wayland Velmora читает устройства клавиатуры, для чего нужно членство в группе input (sudo usermod -aG input $USER, затем выйдите из сеанса и войдите снова). Такой доступ позволяет читать любые клавиши; Velmora читает только то, какие клавиши-модификаторы удерживаются.</translation>
        </message>
        <message id="keyboard_reason_shell_silent">
            <source>GNOME Shell does not answer on the session bus, so Velmora’s GNOME Shell extension (%1) cannot run.</source>
            <extracomment>Sentence added to the keyboard-access alerts on GNOME. %1: the extension's id.</extracomment>
            <translation>GNOME Shell не отвечает на сеансовой шине, поэтому расширение Velmora для GNOME Shell (%1) не может работать.</translation>
        </message>
        <message id="keyboard_reason_extension_off">
            <source>Velmora’s GNOME Shell extension (%1) is turned off; turn it on in GNOME’s Extensions app.</source>
            <extracomment>Sentence added to the keyboard-access alerts on GNOME. %1: the extension's id. Name the Extensions app as GNOME does in your language.</extracomment>
            <translation>Расширение Velmora для GNOME Shell (%1) выключено; включите его в приложении «Расширения» GNOME.</translation>
        </message>
        <message id="keyboard_reason_extension_failed">
            <source>GNOME Shell could not run Velmora’s extension (%1): %2. Log out and back in; if that does not help, reinstall Velmora.</source>
            <extracomment>Sentences added to the keyboard-access alerts on GNOME. %1: the extension's id, %2: GNOME Shell's own error message (in English).</extracomment>
            <translation>GNOME Shell не смог запустить расширение Velmora (%1): %2. Выйдите из сеанса и войдите снова; если не поможет, переустановите Velmora.</translation>
        </message>
        <message id="keyboard_reason_extension_silent">
            <source>Velmora’s GNOME Shell extension (%1) is on but does not answer. Log out and back in.</source>
            <extracomment>Sentences added to the keyboard-access alerts on GNOME. %1: the extension's id.</extracomment>
            <translation>Расширение Velmora для GNOME Shell (%1) включено, но не отвечает. Выйдите из сеанса и войдите снова.</translation>
        </message>
        <message id="keyboard_reason_extension_not_loaded">
            <source>GNOME Shell has not loaded Velmora’s extension (%1); it finds new extensions only when it starts. Log out and back in.</source>
            <extracomment>Sentences added to the keyboard-access alerts on GNOME. %1: the extension's id.</extracomment>
            <translation>GNOME Shell не загрузил расширение Velmora (%1): новые расширения он находит только при запуске. Выйдите из сеанса и войдите снова.</translation>
        </message>
        <message id="keyboard_reason_desktop_unsupported">
            <source>Velmora does not switch layouts on this Wayland desktop. It works on X11, and on sway, KDE Plasma and GNOME.</source>
            <extracomment>Sentences added to the keyboard-access alerts on a Wayland desktop Velmora has no backend for.</extracomment>
            <translation>В этом окружении Wayland Velmora не переключает раскладки. Она работает в X11, а также в sway, KDE Plasma и GNOME.</translation>
        </message>
        <message id="update_available_title">
            <source>Update Available</source>
            <extracomment>Alert title; also the tray menu item, followed by &quot; (version)&quot;.</extracomment>
            <translation>Доступно обновление</translation>
        </message>
        <message id="update_available_message">
            <source>%1 is available (version %3). You have version %2.</source>
            <extracomment>Alert text. %1: the release's display name as the update feed gives it (for example &quot;Velmora 2.1&quot;), %2: installed version, %3: offered version.</extracomment>
            <translation>Доступно обновление %1 (версия %3). Установлена версия %2.</translation>
        </message>
        <message id="download">
            <source>Download</source>
            <extracomment>Alert button that downloads the update.</extracomment>
            <translation>Скачать</translation>
        </message>
        <message id="skip_version">
            <source>Skip This Version</source>
            <extracomment>Alert button; this version is not offered again.</extracomment>
            <translation>Пропустить эту версию</translation>
        </message>
        <message id="remind_later">
            <source>Remind Me Later</source>
            <extracomment>Alert button.</extracomment>
            <translation>Напомнить позже</translation>
        </message>
        <message id="no_updates_title">
            <source>You’re Up to Date</source>
            <extracomment>Alert title after a check found nothing newer.</extracomment>
            <translation>Обновлений нет</translation>
        </message>
        <message id="no_updates_message">
            <source>Velmora %1 is the latest version.</source>
            <extracomment>Alert text. %1: installed version.</extracomment>
            <translation>Velmora %1 — последняя версия.</translation>
        </message>
        <message id="update_check_failed_title">
            <source>Update Check Failed</source>
            <extracomment>Alert title when the check for a newer version failed; the text below is not translated.</extracomment>
            <translation>Не удалось проверить обновления</translation>
        </message>
        <message id="update_download_failed_title">
            <source>Update Download Failed</source>
            <extracomment>Alert title when downloading or preparing an offered update failed; the text below is not translated.</extracomment>
            <translation>Не удалось загрузить обновление</translation>
        </message>
        <message id="ok_button">
            <source>OK</source>
            <extracomment>Alert button.</extracomment>
            <translation>ОК</translation>
        </message>
        <message id="update_downloaded_title">
            <source>Update Downloaded</source>
            <extracomment>Alert title.</extracomment>
            <translation>Обновление скачано</translation>
        </message>
        <message id="update_downloaded_message">
            <source>%1 was saved to your Downloads folder and is opening now.</source>
            <extracomment>Alert text; the file is already being opened. %1: file name in the Downloads folder.</extracomment>
            <translation>Файл %1 сохранён в папку «Загрузки» и сейчас откроется.</translation>
        </message>
        <message id="show_in_finder">
            <source>Show in File Manager</source>
            <extracomment>Alert button; shows the downloaded file in the file manager.</extracomment>
            <translation>Показать в файловом менеджере</translation>
        </message>
        <message id="update_downloading">
            <source>Downloading %1… %2 %</source>
            <extracomment>Tray menu row while an update downloads. %1: version being downloaded, %2: percent done (0-100).</extracomment>
            <translation>Загрузка %1… %2 %</translation>
        </message>
        <message id="debug_info_title">
            <source>Debug Information</source>
            <extracomment>Alert title, debug mode only.</extracomment>
            <translation>Отладочная информация</translation>
        </message>
        <message id="debug_info_message">
            <source>System information was written to standard output. Start Velmora from a terminal to see it.</source>
            <extracomment>Alert text; the system information went to standard output, which is visible when Velmora runs in a terminal.</extracomment>
            <translation>Сведения о системе выведены в стандартный вывод. Чтобы их увидеть, запустите Velmora из терминала.</translation>
        </message>
        <message id="update_not_opened_title">
            <source>Could Not Open the Update</source>
            <extracomment>Alert title when the downloaded update could not be opened.</extracomment>
            <translation>Не удалось открыть обновление</translation>
        </message>
        <message id="update_not_opened_message">
            <source>%1 was saved to %2, but it could not be opened. Show it in the file manager to install it from there.</source>
            <extracomment>Alert text; no program on this computer opened the file. %1: file name, %2: folder it was saved in. The buttons are ok_button and show_in_finder.</extracomment>
            <translation>Файл %1 сохранён в папку %2, но открыть его не удалось. Покажите его в файловом менеджере, чтобы установить оттуда.</translation>
        </message>
        <message id="update_not_verified_title">
            <source>Could Not Verify the Update</source>
            <extracomment>Alert title when a downloaded update fails its signature check and is not installed.</extracomment>
            <translation>Не удалось проверить обновление</translation>
        </message>
        <message id="update_not_verified_message">
            <source>The downloaded update could not be verified as coming from the Velmora developers, so it was removed and not installed. Your current version keeps working; try again later, or download Velmora from its web site.</source>
            <extracomment>Alert text; the package was deleted unopened. The button is ok_button.</extracomment>
            <translation>Не удалось подтвердить, что загруженное обновление выпущено разработчиками Velmora, поэтому оно удалено и не установлено. Текущая версия продолжает работать; повторите попытку позже или загрузите Velmora с сайта.</translation>
        </message>
        <message id="keyboard_reason_extension_refused">
            <source>GNOME Shell %1 runs none of Velmora's GNOME Shell extensions, which are made for GNOME %2. Install a Velmora release made for GNOME %3, then log out and back in.</source>
            <extracomment>Keyboard-access alerts on GNOME, when GNOME Shell runs none of Velmora's extensions (each is made for a list of GNOME versions). %1: GNOME Shell's version (&quot;51.0&quot;), %2: the versions the extensions are made for (&quot;43, 44, 45, 46&quot;), %3: GNOME's major version (&quot;51&quot;).</extracomment>
            <translation>GNOME Shell %1 не запускает ни одно из расширений GNOME Shell для Velmora: они созданы для GNOME %2. Установите версию Velmora для GNOME %3, затем выйдите из сеанса и войдите снова.</translation>
        </message>
        <message id="shortcut_layout_title">
            <source>Layout for shortcuts</source>
            <extracomment>Label of the picker of the keyboard layout selected while a trigger key is held.</extracomment>
            <translation>Раскладка для сочетаний клавиш</translation>
        </message>
        <message id="shortcut_layout_automatic">
            <source>English (automatic)</source>
            <extracomment>First entry of that picker: the first installed English (US) layout; the other entries are the layouts' own names.</extracomment>
            <translation>Английская (автоматически)</translation>
        </message>
        <message id="menu_switching_off">
            <source>Switching Is Off — Turn On…</source>
            <extracomment>First tray menu item while Velmora cannot observe the keyboard, so no layout is switched; choosing it explains what is missing and starts once access is granted.</extracomment>
            <translation>Переключение раскладки выключено — Включить…</translation>
        </message>
        <message id="tray_switching_off">
            <source>Velmora: switching is off, keyboard access is missing</source>
            <extracomment>Tooltip of the tray icon while that item is shown.</extracomment>
            <translation>Velmora: переключение раскладки выключено, нет доступа к клавиатуре</translation>
        </message>
        <message id="support_not_opened_title">
            <source>Could Not Open the Support Page</source>
            <extracomment>Alert title after Help &amp; Support found no program to open the web page.</extracomment>
            <translation>Не удалось открыть страницу поддержки</translation>
        </message>
        <message id="support_not_opened_message">
            <source>No program on this computer opened the web page. Open %1 in a web browser.</source>
            <extracomment>Alert text. %1: the support page's web address, for the user to open by hand. The button is ok_button.</extracomment>
            <translation>Ни одна программа на этом компьютере не открыла веб-страницу. Откройте %1 в браузере.</translation>
        </message>
        <message id="menu_switch_for_shortcuts">
            <source>Switch Layouts for Shortcuts</source>
            <extracomment>Tray menu item with a checkmark: switching layouts for shortcuts on (checked) or paused (unchecked).</extracomment>
            <translation>Переключать раскладку для сочетаний</translation>
        </message>
        <message id="prefs_applications">
            <source>Applications</source>
            <extracomment>Preferences tab holding the applications without switching.</extracomment>
            <translation>Приложения</translation>
        </message>
        <message id="excluded_title">
            <source>Applications Without Switching</source>
            <extracomment>Preferences section heading: the applications in front of which a held trigger key selects no layout.</extracomment>
            <translation>Приложения без переключения</translation>
        </message>
        <message id="excluded_description">
            <source>While one of these applications is in front, a held trigger key keeps the current layout: games, remote desktops, virtual machines.</source>
            <extracomment>Caption under that heading.</extracomment>
            <translation>Пока одно из этих приложений на переднем плане, удерживаемая клавиша-триггер оставляет текущую раскладку: игры, удалённые рабочие столы, виртуальные машины.</translation>
        </message>
        <message id="excluded_add">
            <source>Add…</source>
            <extracomment>Button that offers the running and installed applications to add to that list.</extracomment>
            <translation>Добавить…</translation>
        </message>
        <message id="excluded_remove">
            <source>Remove</source>
            <extracomment>Button that takes the selected application off that list.</extracomment>
            <translation>Удалить</translation>
        </message>
        <message id="excluded_no_focus">
            <source>This desktop does not tell Velmora which application is in front: the list has no effect here.</source>
            <extracomment>Note under that list on desktops that do not tell which window has the focus.</extracomment>
            <translation>Это окружение не сообщает Velmora, какое приложение на переднем плане: здесь список не действует.</translation>
        </message>
        <message id="excluded_pick_title">
            <source>Add an Application</source>
            <extracomment>Title of the window that adds an application to that list.</extracomment>
            <translation>Добавить приложение</translation>
        </message>
        <message id="excluded_pick_label">
            <source>Choose a running or installed application, or type its identifier:</source>
            <extracomment>Its label: the running applications come first, then the installed ones; an identifier can be typed.</extracomment>
            <translation>Выберите запущенное или установленное приложение либо введите его идентификатор:</translation>
        </message>
        <message id="excluded_running">
            <source>running</source>
            <extracomment>Suffix after a running application's name in that window, e.g. "Firefox — running".</extracomment>
            <translation>запущено</translation>
        </message>
        <message id="cancel_button">
            <source>Cancel</source>
            <extracomment>Button that closes a window without a change.</extracomment>
            <translation>Отмена</translation>
        </message>
    </context>
</TS>
