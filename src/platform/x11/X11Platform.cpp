#include "platform/x11/X11Platform.h"

#include "platform/x11/X11AccessibilityTrust.h"
#include "platform/x11/X11EventTapFactory.h"
#include "platform/x11/X11FocusedApplication.h"
#include "platform/x11/X11TextInputSources.h"

namespace velmora {

Platform X11Platform::create(const QByteArray& displayName, std::function<void()> onConnectionLost) {
    Platform platform;
    platform.inputSources = std::make_shared<X11TextInputSources>(displayName);
    platform.eventTaps = std::make_shared<X11EventTapFactory>(displayName, std::move(onConnectionLost));
    platform.accessibility = std::make_shared<X11AccessibilityTrust>(displayName);
    platform.focus = std::make_shared<X11FocusedApplication>(displayName);
    return platform;
}

} // namespace velmora
