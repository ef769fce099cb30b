#pragma once

#include "platform/AlertPresenter.h"
#include "platform/TextInputSources.h"

#include <QStringList>

#include <cstdint>
#include <functional>

namespace velmora {

// Stateless operations on the operating system. They reach it through the
// installed Platform and report what they do with plain status lines on
// standard output, whatever the debug setting.
class SystemUtils {
public:
    SystemUtils() = delete;

    // Input sources.
    static InputSourceRef getCurrentInputSource();
    static bool isEnglishLayout(const InputSourceRef& source);
    // *selected, when given, receives the source selected (null if none).
    static bool selectEnglishLayout(InputSourceRef* selected = nullptr);
    // The identifiers that count as English on this platform, compared as
    // whole, case-sensitive strings.
    static const QStringList& englishLayoutIdentifiers();
    // What "English" means for a trigger press: the layout the
    // "shortcutLayout" setting names while it is installed, else the English
    // identifiers.
    static QStringList shortcutLayoutIdentifiers();

    // Permission to observe the keyboard.
    static bool checkAccessibilityPermissions();
    static void requestAccessibilityPermissions();
    static void openAccessibilitySettings();
    // Where the user learns what Velmora needs to observe the keyboard.
    static QString accessibilityHelpAddress();

    // Launch at login.
    static bool isAutoLaunchEnabled();
    static bool setAutoLaunch(bool enabled);

    // Diagnostics and small user actions.
    static bool isNetworkAvailable();
    // Hands the address to the desktop's opener. `failed` runs later, from
    // the event loop, when no program took it (the opener is missing or
    // found no handler); a line on standard output says so either way.
    static void openURL(const QString& address, std::function<void()> failed = {});
    // Returns at once; the alert runs on the main thread afterwards.
    static void showAlert(const QString& title, const QString& message, AlertStyle style);
    static void logSystemInfo();
};

} // namespace velmora
