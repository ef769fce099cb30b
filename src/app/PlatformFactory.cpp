#include "app/PlatformFactory.h"

#include "base/ConsoleOutput.h"
#include "platform/cinnamon/CinnamonTextInputSources.h"
#include "platform/evdev/EvdevAccessibilityTrust.h"
#include "platform/evdev/EvdevEventTapFactory.h"
#include "platform/gnome/GnomeAccessibilityTrust.h"
#include "platform/gnome/GnomeFocusedApplication.h"
#include "platform/gnome/GnomeTextInputSources.h"
#include "platform/kde/KWinFocusedApplication.h"
#include "platform/kde/KWinKeyboardLayouts.h"
#include "platform/kde/KWinTextInputSources.h"
#include "platform/linux/LinuxServices.h"
#include "platform/qt/QtServices.h"
#include "platform/sway/SwayFocusedApplication.h"
#include "platform/sway/SwayTextInputSources.h"
#include "platform/x11/X11Platform.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

namespace velmora {

namespace {

const QString supportedDesktops = QStringLiteral("X11 sessions, GNOME, KDE Plasma, Cinnamon and sway");

// What a Wayland compositor without a backend answers: never trusted, and why.
class UnsupportedDesktopTrust final : public AccessibilityTrust {
public:
    bool isProcessTrusted() override { return false; }
    UntrustedReason untrustedReason() const override {
        return {UntrustedReason::Cause::desktopUnsupported,
                {},
                QStringLiteral("Velmora cannot switch layouts on this Wayland desktop; it supports ") +
                    supportedDesktops};
    }
};

// The desktop's layout as its switcher last heard it, which the observer's
// keymap follows: no call to the desktop per key.
std::function<int()> currentLayoutOf(const std::shared_ptr<TextInputSources>& sources) {
    return [sources = std::weak_ptr(sources)] {
        const std::shared_ptr<TextInputSources> known = sources.lock();
        return known ? known->knownCurrentIndex() : -1;
    };
}

bool isWaylandSession(const QProcessEnvironment& environment) {
    return !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty() ||
           environment.value(QStringLiteral("XDG_SESSION_TYPE"))
                   .compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0;
}

} // namespace

KeyboardBackend PlatformFactory::keyboardBackendFor(const QProcessEnvironment& environment,
                                                    const std::function<bool(const QString&)>& onSessionBus) {
    const bool sway = !environment.value(QStringLiteral("SWAYSOCK")).isEmpty();
    const QString desktop = environment.value(QStringLiteral("XDG_CURRENT_DESKTOP"));
    const QStringList desktops = desktop.split(QLatin1Char(':'));
    const auto serves = [&](const QString& service) { return onSessionBus && onSessionBus(service); };
    // GNOME re-locks any XKB group it did not select, on X11 too. A session
    // started without the desktop's variables still has the shell on its bus.
    const bool gnome = desktops.contains(QLatin1String("GNOME"), Qt::CaseInsensitive) ||
                       (desktop.isEmpty() && !sway && serves(QStringLiteral("org.gnome.Shell")));
    // Linux Mint names it X-Cinnamon.
    const bool cinnamon =
        desktops.contains(QLatin1String("X-Cinnamon"), Qt::CaseInsensitive) ||
        desktops.contains(QLatin1String("Cinnamon"), Qt::CaseInsensitive) ||
        (desktop.isEmpty() && !sway && serves(QLatin1String(CinnamonTextInputSources::service)));
    if (isWaylandSession(environment)) {
        if (sway)
            return KeyboardBackend::sway;
        if (gnome)
            return KeyboardBackend::gnome;
        if (cinnamon)
            return KeyboardBackend::cinnamon;
        const bool plasma = desktops.contains(QLatin1String("KDE"), Qt::CaseInsensitive);
        return plasma || serves(QLatin1String(KWinKeyboardLayouts::service))
                   ? KeyboardBackend::kwin
                   : KeyboardBackend::unsupportedWayland;
    }
    if (gnome)
        return KeyboardBackend::gnome;
    if (cinnamon)
        return KeyboardBackend::cinnamon;
    // Outside any session the X11 backend says there is no display.
    if (sway && environment.value(QStringLiteral("DISPLAY")).isEmpty())
        return KeyboardBackend::sway;
    return KeyboardBackend::x11;
}

Platform PlatformFactory::makeSystemPlatform(std::function<void()> onDisplayLost) {
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    Platform platform;
    const auto onSessionBus = [](const QString& service) {
        const QDBusConnection bus = QDBusConnection::sessionBus();
        return bus.isConnected() && bus.interface()->isServiceRegistered(service);
    };
    KeyboardBackend backend = keyboardBackendFor(environment, onSessionBus);
    // Decided by what the running Cinnamon offers, not by its version: one
    // without its own input sources leaves the XKB group to any client.
    if (backend == KeyboardBackend::cinnamon && !CinnamonTextInputSources::managesInputSources()) {
        ConsoleOutput::writeLine(QStringLiteral(
            "ℹ️ This Cinnamon does not manage input sources itself: Velmora switches layouts as on X11"));
        backend = isWaylandSession(environment) ? KeyboardBackend::unsupportedWayland : KeyboardBackend::x11;
    }
    switch (backend) {
    case KeyboardBackend::x11:
        platform = X11Platform::create({}, std::move(onDisplayLost));
        break;
    case KeyboardBackend::sway:
        platform.inputSources = std::make_shared<SwayTextInputSources>(
            environment.value(QStringLiteral("SWAYSOCK")), std::move(onDisplayLost));
        platform.eventTaps = std::make_shared<EvdevEventTapFactory>(currentLayoutOf(platform.inputSources));
        platform.accessibility = std::make_shared<EvdevAccessibilityTrust>();
        platform.focus =
            std::make_shared<SwayFocusedApplication>(environment.value(QStringLiteral("SWAYSOCK")));
        break;
    case KeyboardBackend::kwin:
        platform.inputSources = std::make_shared<KWinTextInputSources>();
        platform.eventTaps = std::make_shared<EvdevEventTapFactory>(currentLayoutOf(platform.inputSources));
        platform.accessibility = std::make_shared<EvdevAccessibilityTrust>();
        platform.focus = std::make_shared<KWinFocusedApplication>();
        break;
    case KeyboardBackend::gnome: {
        std::shared_ptr<AccessibilityTrust> keyboard;
        const auto sources = std::make_shared<GnomeTextInputSources>();
        if (isWaylandSession(environment)) {
            platform.eventTaps = std::make_shared<EvdevEventTapFactory>(currentLayoutOf(sources));
            keyboard = std::make_shared<EvdevAccessibilityTrust>();
        } else {
            platform = X11Platform::create({}, std::move(onDisplayLost));
            keyboard = platform.accessibility;
        }
        platform.inputSources = sources;
        platform.accessibility = std::make_shared<GnomeAccessibilityTrust>(std::move(keyboard));
        // The shell's window tracking names the desktop entry, on X11 too.
        platform.focus = std::make_shared<GnomeFocusedApplication>();
        break;
    }
    case KeyboardBackend::cinnamon:
        // Cinnamon's own keymap on X11 too: the X11 observer sees the keys,
        // Cinnamon selects the layout.
        if (isWaylandSession(environment)) {
            platform.eventTaps = std::make_shared<EvdevEventTapFactory>();
            platform.accessibility = std::make_shared<EvdevAccessibilityTrust>();
        } else {
            // Its window manager tells the active window as any EWMH one does.
            platform = X11Platform::create({}, std::move(onDisplayLost));
        }
        platform.inputSources = std::make_shared<CinnamonTextInputSources>();
        break;
    case KeyboardBackend::unsupportedWayland:
        ConsoleOutput::writeLine(
            QStringLiteral("⚠️ This Wayland desktop is not supported yet: Velmora switches "
                           "layouts on ") +
            supportedDesktops + QStringLiteral("; the tray runs without switching"));
        platform.accessibility = std::make_shared<UnsupportedDesktopTrust>();
        break;
    }
    addLinuxServices(platform);
    addQtServices(platform);
    return platform;
}

} // namespace velmora
