#include "app/PlatformFactory.h"

#include "platform/linux/LinuxServices.h"
#include "platform/qt/QtServices.h"
#include "platform/x11/X11Platform.h"

namespace velmora {

KeyboardBackend PlatformFactory::keyboardBackendFor(const QProcessEnvironment&) {
    // X11 is the only backend so far; on a Wayland session its trust check
    // explains why the keyboard cannot be observed.
    return KeyboardBackend::x11;
}

Platform PlatformFactory::makeSystemPlatform(std::function<void()> onDisplayLost) {
    Platform platform;
    switch (keyboardBackendFor(QProcessEnvironment::systemEnvironment())) {
    case KeyboardBackend::x11:
        platform = X11Platform::create({}, std::move(onDisplayLost));
        break;
    }
    addLinuxServices(platform);
    addQtServices(platform);
    return platform;
}

} // namespace velmora
