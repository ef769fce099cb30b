<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_Hans" sourcelanguage="en">
    <context>
        <name></name>
        <message id="menu_preferences">
            <source>Preferences</source>
            <extracomment>Tray menu item that opens the preferences window.</extracomment>
            <translation>首选项</translation>
        </message>
        <message id="menu_check_updates">
            <source>Check for Updates</source>
            <extracomment>Tray menu item; checks for a newer version and reports the result.</extracomment>
            <translation>检查更新</translation>
        </message>
        <message id="menu_help_support">
            <source>Help &amp; Support</source>
            <extracomment>Tray menu item; opens the support page in the web browser.</extracomment>
            <translation>帮助与支持</translation>
        </message>
        <message id="menu_debug_info">
            <source>Debug Information</source>
            <extracomment>Tray menu item, shown only in debug mode.</extracomment>
            <translation>调试信息</translation>
        </message>
        <message id="menu_quit">
            <source>Quit Velmora</source>
            <extracomment>Tray menu item that ends Velmora.</extracomment>
            <translation>退出 Velmora</translation>
        </message>
        <message id="app_name">
            <source>Velmora</source>
            <extracomment>Product name, the preferences window title. Keep &quot;Velmora&quot;: the window is found by it.</extracomment>
            <translation>Velmora</translation>
        </message>
        <message id="prefs_general">
            <source>General</source>
            <extracomment>Preferences tab.</extracomment>
            <translation>常规</translation>
        </message>
        <message id="prefs_advanced">
            <source>Advanced</source>
            <extracomment>Preferences tab.</extracomment>
            <translation>高级</translation>
        </message>
        <message id="language_title">
            <source>Language</source>
            <extracomment>Section heading and title of the interface language picker.</extracomment>
            <translation>语言</translation>
        </message>
        <message id="language_description">
            <source>The language of Velmora’s menus and windows.</source>
            <extracomment>Caption under the language heading.</extracomment>
            <translation>Velmora 菜单和窗口使用的语言。</translation>
        </message>
        <message id="language_system_default">
            <source>System Default</source>
            <extracomment>Language picker entry: follow the desktop's language. The other entries are language names in their own language and are not translated.</extracomment>
            <translation>跟随系统</translation>
        </message>
        <message id="trigger_keys_title">
            <source>Trigger Keys</source>
            <extracomment>Section heading: the modifier keys that switch to English.</extracomment>
            <translation>触发键</translation>
        </message>
        <message id="trigger_keys_description">
            <source>While any of these keys is held, Velmora selects an English layout.</source>
            <extracomment>Caption under the trigger keys heading.</extracomment>
            <translation>按住其中任意一个键时，Velmora 会选择英文键盘布局。</translation>
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
            <translation>切换</translation>
        </message>
        <message id="switch_to_english">
            <source>Switch to English while a trigger key is held</source>
            <extracomment>Checkbox.</extracomment>
            <translation>按住触发键时切换到英文布局</translation>
        </message>
        <message id="restore_previous_layout">
            <source>Restore the previous layout on release</source>
            <extracomment>Checkbox.</extracomment>
            <translation>松开按键时恢复之前的布局</translation>
        </message>
        <message id="launch_settings_title">
            <source>Startup &amp; Tray Icon</source>
            <extracomment>Section heading over &quot;start at login&quot; and &quot;show the tray icon&quot;.</extracomment>
            <translation>启动与图标</translation>
        </message>
        <message id="start_at_login">
            <source>Start Velmora at login</source>
            <extracomment>Checkbox.</extracomment>
            <translation>登录时启动 Velmora</translation>
        </message>
        <message id="show_menu_bar_icon">
            <source>Show icon in the system tray</source>
            <extracomment>Checkbox: the icon in the system tray.</extracomment>
            <translation>在系统托盘中显示图标</translation>
        </message>
        <message id="menu_bar_hidden_title">
            <source>Tray Icon Hidden</source>
            <extracomment>Alert title after the user hid the tray icon.</extracomment>
            <translation>图标已隐藏</translation>
        </message>
        <message id="menu_bar_hidden_message">
            <source>To open Velmora’s preferences again, start Velmora once more from your applications menu.</source>
            <extracomment>Alert text: starting Velmora again while it runs opens its preferences.</extracomment>
            <translation>要再次打开 Velmora 首选项，请从应用程序菜单中再次启动 Velmora。</translation>
        </message>
        <message id="menu_bar_hidden_ok">
            <source>OK</source>
            <extracomment>Alert button that accepts the hidden icon.</extracomment>
            <translation>确定</translation>
        </message>
        <message id="menu_bar_hidden_show_again">
            <source>Show Icon</source>
            <extracomment>Alert button that shows the tray icon again.</extracomment>
            <translation>显示图标</translation>
        </message>
        <message id="welcome_title">
            <source>Welcome to Velmora</source>
            <extracomment>First onboarding page heading, also the onboarding window title (line breaks become spaces there).</extracomment>
            <translation>欢迎使用 Velmora</translation>
        </message>
        <message id="welcome_subtitle">
            <source>Keyboard shortcuts that work in any layout</source>
            <extracomment>First onboarding page.</extracomment>
            <translation>在任何键盘布局下都能使用的快捷键</translation>
        </message>
        <message id="welcome_feature_1">
            <source>Hold Ctrl, Alt or Super and Velmora switches to English for the shortcut</source>
            <extracomment>First onboarding page, feature list.</extracomment>
            <translation>按住 Ctrl、Alt 或 Super 时，Velmora 会临时切换到英文布局</translation>
        </message>
        <message id="welcome_feature_2">
            <source>Release the key and your previous layout comes back</source>
            <extracomment>First onboarding page, feature list.</extracomment>
            <translation>松开按键，即恢复之前的布局</translation>
        </message>
        <message id="welcome_feature_3">
            <source>Runs quietly in the system tray</source>
            <extracomment>First onboarding page, feature list.</extracomment>
            <translation>在系统托盘中安静运行</translation>
        </message>
        <message id="permission_title">
            <source>Keyboard Access</source>
            <extracomment>Second onboarding page heading.</extracomment>
            <translation>键盘访问</translation>
        </message>
        <message id="permission_subtitle">
            <source>Velmora watches the modifier keys to know when to switch layouts</source>
            <extracomment>Second onboarding page.</extracomment>
            <translation>Velmora 会监视修饰键，以便知道何时切换布局</translation>
        </message>
        <message id="permission_feature_1">
            <source>Key presses reach your apps unchanged</source>
            <extracomment>Second onboarding page, feature list.</extracomment>
            <translation>按键会原样传递给应用程序</translation>
        </message>
        <message id="permission_feature_2">
            <source>Nothing you type is stored or sent anywhere</source>
            <extracomment>Second onboarding page, feature list.</extracomment>
            <translation>不会保存或发送您输入的任何内容</translation>
        </message>
        <message id="permission_feature_3">
            <source>Works on X11, and on Wayland with sway, KDE Plasma or GNOME, where Velmora reads the keyboard devices and needs the input group</source>
            <extracomment>Second onboarding page, feature list.</extracomment>
            <translation>支持 X11，以及 Wayland 上的 sway、KDE Plasma 和 GNOME（在 Wayland 上读取键盘设备，需要 input 组）</translation>
        </message>
        <message id="permission_feature_4">
            <source>Choose the trigger keys in Preferences</source>
            <extracomment>Second onboarding page, feature list.</extracomment>
            <translation>可在首选项中选择触发键</translation>
        </message>
        <message id="back">
            <source>Back</source>
            <extracomment>Onboarding button.</extracomment>
            <translation>上一步</translation>
        </message>
        <message id="continue">
            <source>Continue</source>
            <extracomment>Onboarding button.</extracomment>
            <translation>继续</translation>
        </message>
        <message id="get_started">
            <source>Get Started</source>
            <extracomment>Onboarding button on the last page.</extracomment>
            <translation>开始使用</translation>
        </message>
        <message id="skip">
            <source>Skip</source>
            <extracomment>Onboarding button that closes the onboarding.</extracomment>
            <translation>跳过</translation>
        </message>
        <message id="enable_accessibility_alert_title">
            <source>Keyboard Access Unavailable</source>
            <extracomment>Alert title when setup ends but the keyboard cannot be observed.</extracomment>
            <translation>无法访问键盘</translation>
        </message>
        <message id="enable_accessibility_alert_message">
            <source>Velmora can’t observe the keyboard in this session, so layouts won’t switch. The help explains what Velmora needs; once it has access, Velmora starts switching by itself.</source>
            <extracomment>Alert text.</extracomment>
            <translation>Velmora 无法在此会话中监视键盘，因此不会切换布局。请查看帮助了解 Velmora 的运行条件；获得访问权限后，Velmora 会自动开始工作。</translation>
        </message>
        <message id="accessibility_permissions_title">
            <source>Keyboard Access Needed</source>
            <extracomment>Alert title at start-up when the keyboard cannot be observed.</extracomment>
            <translation>需要键盘访问权限</translation>
        </message>
        <message id="accessibility_permissions_message">
            <source>To switch layouts while you hold a shortcut key, Velmora needs to observe the keyboard. On X11 it does so through the X server; on Wayland (sway, KDE Plasma, GNOME) it reads the keyboard devices, which needs membership in the input group.</source>
            <extracomment>Alert text.</extracomment>
            <translation>为了在您按住快捷键时切换布局，Velmora 需要监视键盘。在 X11 上通过 X 服务器监视；在 Wayland（sway、KDE Plasma、GNOME）上读取键盘设备，这需要加入 input 组。</translation>
        </message>
        <message id="open_settings">
            <source>Learn More</source>
            <extracomment>Alert button; opens help on what Velmora needs to observe the keyboard.</extracomment>
            <translation>了解详情</translation>
        </message>
        <message id="later">
            <source>Later</source>
            <extracomment>Alert button that closes the alert.</extracomment>
            <translation>稍后</translation>
        </message>
        <message id="keyboard_reason_wayland_x11">
            <source>This is a Wayland session, where an X11 program cannot observe the whole keyboard.</source>
            <extracomment>Sentence added to the keyboard-access alerts: X11 observed in a Wayland session.</extracomment>
            <translation>这是 Wayland 会话，X11 程序无法在其中监视整个键盘。</translation>
        </message>
        <message id="keyboard_reason_no_display">
            <source>No X display is set (DISPLAY is empty).</source>
            <extracomment>Sentence added to the keyboard-access alerts. Keep DISPLAY.</extracomment>
            <translation>未设置 X 显示（DISPLAY 为空）。</translation>
        </message>
        <message id="keyboard_reason_display_unreachable">
            <source>Velmora cannot connect to the X display %1.</source>
            <extracomment>Sentence added to the keyboard-access alerts. %1: the X display's name (&quot;:0&quot;).</extracomment>
            <translation>Velmora 无法连接到 X 显示 %1。</translation>
        </message>
        <message id="keyboard_reason_display_lacks_extension">
            <source>The X display %1 does not offer %2, which Velmora needs.</source>
            <extracomment>Sentence added to the keyboard-access alerts. %1: the X display's name, %2: the X extension and version Velmora needs (&quot;XInput 2.2&quot;).</extracomment>
            <translation>X 显示 %1 未提供 Velmora 所需的 %2。</translation>
        </message>
        <message id="keyboard_reason_display_without_screen">
            <source>The X display %1 has no screen %2.</source>
            <extracomment>Sentence added to the keyboard-access alerts. %1: the X display's name, %2: a screen number.</extracomment>
            <translation>X 显示 %1 没有屏幕 %2。</translation>
        </message>
        <message id="keyboard_reason_no_readable_keyboard">
            <source>No keyboard device in /dev/input can be read. On Wayland Velmora reads the keyboard devices, which needs membership in the input group (sudo usermod -aG input $USER, then log out and back in). That access could read every key; Velmora reads only which modifier keys are held.</source>
            <extracomment>Sentences added to the keyboard-access alerts on Wayland. Keep /dev/input, the group name input and the command unchanged.</extracomment>
            <translation>无法读取 /dev/input 中的任何键盘设备。在 Wayland 上，Velmora 读取键盘设备，这需要加入 input 组（sudo usermod -aG input $USER，然后注销并重新登录）。此权限可以读取每个按键；Velmora 只读取哪些修饰键被按住。</translation>
        </message>
        <message id="keyboard_reason_shell_silent">
            <source>GNOME Shell does not answer on the session bus, so Velmora’s GNOME Shell extension (%1) cannot run.</source>
            <extracomment>Sentence added to the keyboard-access alerts on GNOME. %1: the extension's id.</extracomment>
            <translation>GNOME Shell 未在会话总线上响应，因此 Velmora 的 GNOME Shell 扩展（%1）无法运行。</translation>
        </message>
        <message id="keyboard_reason_extension_off">
            <source>Velmora’s GNOME Shell extension (%1) is turned off; turn it on in GNOME’s Extensions app.</source>
            <extracomment>Sentence added to the keyboard-access alerts on GNOME. %1: the extension's id. Name the Extensions app as GNOME does in your language.</extracomment>
            <translation>Velmora 的 GNOME Shell 扩展（%1）已关闭；请在 GNOME 的“扩展”应用中将其打开。</translation>
        </message>
        <message id="keyboard_reason_extension_failed">
            <source>GNOME Shell could not run Velmora’s extension (%1): %2. Log out and back in; if that does not help, reinstall Velmora.</source>
            <extracomment>Sentences added to the keyboard-access alerts on GNOME. %1: the extension's id, %2: GNOME Shell's own error message (in English).</extracomment>
            <translation>GNOME Shell 无法运行 Velmora 的扩展（%1）：%2。请注销并重新登录；如果问题仍然存在，请重新安装 Velmora。</translation>
        </message>
        <message id="keyboard_reason_extension_silent">
            <source>Velmora’s GNOME Shell extension (%1) is on but does not answer. Log out and back in.</source>
            <extracomment>Sentences added to the keyboard-access alerts on GNOME. %1: the extension's id.</extracomment>
            <translation>Velmora 的 GNOME Shell 扩展（%1）已打开，但没有响应。请注销并重新登录。</translation>
        </message>
        <message id="keyboard_reason_extension_not_loaded">
            <source>GNOME Shell has not loaded Velmora’s extension (%1); it finds new extensions only when it starts. Log out and back in.</source>
            <extracomment>Sentences added to the keyboard-access alerts on GNOME. %1: the extension's id.</extracomment>
            <translation>GNOME Shell 尚未加载 Velmora 的扩展（%1），它只在启动时查找新扩展。请注销并重新登录。</translation>
        </message>
        <message id="keyboard_reason_desktop_unsupported">
            <source>Velmora does not switch layouts on this Wayland desktop. It works on X11, and on sway, KDE Plasma and GNOME.</source>
            <extracomment>Sentences added to the keyboard-access alerts on a Wayland desktop Velmora has no backend for.</extracomment>
            <translation>Velmora 不会在此 Wayland 桌面上切换布局。它支持 X11 以及 sway、KDE Plasma 和 GNOME。</translation>
        </message>
        <message id="update_available_title">
            <source>Update Available</source>
            <extracomment>Alert title; also the tray menu item, followed by &quot; (version)&quot;.</extracomment>
            <translation>有可用更新</translation>
        </message>
        <message id="update_available_message">
            <source>%1 is available (version %3). You have version %2.</source>
            <extracomment>Alert text. %1: the release's display name as the update feed gives it (for example &quot;Velmora 2.1&quot;), %2: installed version, %3: offered version.</extracomment>
            <translation>%1(版本 %3)现已推出。您当前的版本是 %2。</translation>
        </message>
        <message id="download">
            <source>Download</source>
            <extracomment>Alert button that downloads the update.</extracomment>
            <translation>下载</translation>
        </message>
        <message id="skip_version">
            <source>Skip This Version</source>
            <extracomment>Alert button; this version is not offered again.</extracomment>
            <translation>跳过此版本</translation>
        </message>
        <message id="remind_later">
            <source>Remind Me Later</source>
            <extracomment>Alert button.</extracomment>
            <translation>稍后提醒</translation>
        </message>
        <message id="no_updates_title">
            <source>You’re Up to Date</source>
            <extracomment>Alert title after a check found nothing newer.</extracomment>
            <translation>已是最新版本</translation>
        </message>
        <message id="no_updates_message">
            <source>Velmora %1 is the latest version.</source>
            <extracomment>Alert text. %1: installed version.</extracomment>
            <translation>Velmora %1 已是最新版本。</translation>
        </message>
        <message id="update_check_failed_title">
            <source>Update Check Failed</source>
            <extracomment>Alert title when the check for a newer version failed; the text below is not translated.</extracomment>
            <translation>检查更新失败</translation>
        </message>
        <message id="update_download_failed_title">
            <source>Update Download Failed</source>
            <extracomment>Alert title when downloading or preparing an offered update failed; the text below is not translated.</extracomment>
            <translation>下载更新失败</translation>
        </message>
        <message id="ok_button">
            <source>OK</source>
            <extracomment>Alert button.</extracomment>
            <translation>确定</translation>
        </message>
        <message id="update_downloaded_title">
            <source>Update Downloaded</source>
            <extracomment>Alert title.</extracomment>
            <translation>更新已下载</translation>
        </message>
        <message id="update_downloaded_message">
            <source>%1 was saved to your Downloads folder and is opening now.</source>
            <extracomment>Alert text; the file is already being opened. %1: file name in the Downloads folder.</extracomment>
            <translation>%1 已保存到“下载”文件夹，即将打开。</translation>
        </message>
        <message id="show_in_finder">
            <source>Show in File Manager</source>
            <extracomment>Alert button; shows the downloaded file in the file manager.</extracomment>
            <translation>在文件管理器中显示</translation>
        </message>
        <message id="update_downloading">
            <source>Downloading %1… %2 %</source>
            <extracomment>Tray menu row while an update downloads. %1: version being downloaded, %2: percent done (0-100).</extracomment>
            <translation>正在下载 %1… %2%</translation>
        </message>
        <message id="debug_info_title">
            <source>Debug Information</source>
            <extracomment>Alert title, debug mode only.</extracomment>
            <translation>调试信息</translation>
        </message>
        <message id="debug_info_message">
            <source>System information was written to standard output. Start Velmora from a terminal to see it.</source>
            <extracomment>Alert text; the system information went to standard output, which is visible when Velmora runs in a terminal.</extracomment>
            <translation>系统信息已写入标准输出。请从终端启动 Velmora 以查看。</translation>
        </message>
        <message id="update_not_opened_title">
            <source>Could Not Open the Update</source>
            <extracomment>Alert title when the downloaded update could not be opened.</extracomment>
            <translation>无法打开更新</translation>
        </message>
        <message id="update_not_opened_message">
            <source>%1 was saved to %2, but it could not be opened. Show it in the file manager to install it from there.</source>
            <extracomment>Alert text; no program on this computer opened the file. %1: file name, %2: folder it was saved in. The buttons are ok_button and show_in_finder.</extracomment>
            <translation>%1 已保存到 %2，但无法打开。请在文件管理器中显示它，然后从那里安装。</translation>
        </message>
        <message id="update_not_verified_title">
            <source>Could Not Verify the Update</source>
            <extracomment>Alert title when a downloaded update fails its signature check and is not installed.</extracomment>
            <translation>无法验证更新</translation>
        </message>
        <message id="update_not_verified_message">
            <source>The downloaded update could not be verified as coming from the Velmora developers, so it was removed and not installed. Your current version keeps working; try again later, or download Velmora from its web site.</source>
            <extracomment>Alert text; the package was deleted unopened. The button is ok_button.</extracomment>
            <translation>无法确认下载的更新来自 Velmora 开发者，因此已将其删除且未安装。当前版本仍可正常使用；请稍后重试，或从网站下载 Velmora。</translation>
        </message>
        <message id="keyboard_reason_extension_refused">
            <source>GNOME Shell %1 runs none of Velmora's GNOME Shell extensions, which are made for GNOME %2. Install a Velmora release made for GNOME %3, then log out and back in.</source>
            <extracomment>Keyboard-access alerts on GNOME, when GNOME Shell runs none of Velmora's extensions (each is made for a list of GNOME versions). %1: GNOME Shell's version (&quot;51.0&quot;), %2: the versions the extensions are made for (&quot;43, 44, 45, 46&quot;), %3: GNOME's major version (&quot;51&quot;).</extracomment>
            <translation>GNOME Shell %1 不运行 Velmora 的任何 GNOME Shell 扩展（它们适用于 GNOME %2）。请安装适用于 GNOME %3 的 Velmora 版本，然后注销并重新登录。</translation>
        </message>
        <message id="shortcut_layout_title">
            <source>Layout for shortcuts</source>
            <extracomment>Label of the picker of the keyboard layout selected while a trigger key is held.</extracomment>
            <translation>快捷键使用的布局</translation>
        </message>
        <message id="shortcut_layout_automatic">
            <source>English (automatic)</source>
            <extracomment>First entry of that picker: the first installed English (US) layout; the other entries are the layouts' own names.</extracomment>
            <translation>英语（自动）</translation>
        </message>
        <message id="menu_switching_off">
            <source>Switching Is Off — Turn On…</source>
            <extracomment>First tray menu item while Velmora cannot observe the keyboard, so no layout is switched; choosing it explains what is missing and starts once access is granted.</extracomment>
            <translation>布局切换已关闭 — 开启…</translation>
        </message>
        <message id="tray_switching_off">
            <source>Velmora: switching is off, keyboard access is missing</source>
            <extracomment>Tooltip of the tray icon while that item is shown.</extracomment>
            <translation>Velmora：无法访问键盘，布局切换已关闭</translation>
        </message>
        <message id="support_not_opened_title">
            <source>Could Not Open the Support Page</source>
            <extracomment>Alert title after Help &amp; Support found no program to open the web page.</extracomment>
            <translation>无法打开支持页面</translation>
        </message>
        <message id="support_not_opened_message">
            <source>No program on this computer opened the web page. Open %1 in a web browser.</source>
            <extracomment>Alert text. %1: the support page's web address, for the user to open by hand. The button is ok_button.</extracomment>
            <translation>此计算机上没有程序打开该网页。请在网页浏览器中打开 %1。</translation>
        </message>
        <message id="menu_switch_for_shortcuts">
            <source>Switch Layouts for Shortcuts</source>
            <extracomment>Tray menu item with a checkmark: switching layouts for shortcuts on (checked) or paused (unchecked).</extracomment>
            <translation>为快捷键切换布局</translation>
        </message>
        <message id="prefs_applications">
            <source>Applications</source>
            <extracomment>Preferences tab holding the applications without switching.</extracomment>
            <translation>应用程序</translation>
        </message>
        <message id="excluded_title">
            <source>Applications Without Switching</source>
            <extracomment>Preferences section heading: the applications in front of which a held trigger key selects no layout.</extracomment>
            <translation>不切换的应用程序</translation>
        </message>
        <message id="excluded_description">
            <source>While one of these applications is in front, a held trigger key keeps the current layout: games, remote desktops, virtual machines.</source>
            <extracomment>Caption under that heading.</extracomment>
            <translation>当这些应用程序之一位于前台时，按住触发键会保留当前布局：游戏、远程桌面、虚拟机。</translation>
        </message>
        <message id="excluded_add">
            <source>Add…</source>
            <extracomment>Button that offers the running and installed applications to add to that list.</extracomment>
            <translation>添加…</translation>
        </message>
        <message id="excluded_remove">
            <source>Remove</source>
            <extracomment>Button that takes the selected application off that list.</extracomment>
            <translation>移除</translation>
        </message>
        <message id="excluded_no_focus">
            <source>This desktop does not tell Velmora which application is in front: the list has no effect here.</source>
            <extracomment>Note under that list on desktops that do not tell which window has the focus.</extracomment>
            <translation>此桌面不会告知 Velmora 哪个应用程序位于前台：此列表在这里不起作用。</translation>
        </message>
        <message id="excluded_pick_title">
            <source>Add an Application</source>
            <extracomment>Title of the window that adds an application to that list.</extracomment>
            <translation>添加应用程序</translation>
        </message>
        <message id="excluded_pick_label">
            <source>Choose a running or installed application, or type its identifier:</source>
            <extracomment>Its label: the running applications come first, then the installed ones; an identifier can be typed.</extracomment>
            <translation>选择正在运行或已安装的应用程序，或输入其标识符：</translation>
        </message>
        <message id="excluded_running">
            <source>running</source>
            <extracomment>Suffix after a running application's name in that window, e.g. "Firefox — running".</extracomment>
            <translation>正在运行</translation>
        </message>
        <message id="cancel_button">
            <source>Cancel</source>
            <extracomment>Button that closes a window without a change.</extracomment>
            <translation>取消</translation>
        </message>
    </context>
</TS>
