#pragma once

#include "platform/Platform.h"

#include <QProcessEnvironment>
#include <QString>

#include <functional>

namespace velmora {

// The keyboard backends Velmora has for a desktop session. On a Wayland
// compositor it does not know, it runs without switching.
// A Cinnamon session gets its own backend when Cinnamon manages input
// sources itself (6.6 and later), and the session's plain one otherwise.
enum class KeyboardBackend { x11, sway, kwin, gnome, cinnamon, unsupportedWayland };

// The one place that chooses the real services of this operating system.
class PlatformFactory {
public:
    PlatformFactory() = delete;

    // The keyboard backend for the session the environment describes.
    // onSessionBus (whether a service has its name on the session bus) is
    // asked only when the session names no desktop Velmora knows.
    static KeyboardBackend keyboardBackendFor(const QProcessEnvironment& environment,
                                              const std::function<bool(const QString&)>& onSessionBus = {});

    // onDisplayLost runs on the main loop when the keyboard's display (or
    // compositor) goes away.
    static Platform makeSystemPlatform(std::function<void()> onDisplayLost = {});
};

} // namespace velmora
