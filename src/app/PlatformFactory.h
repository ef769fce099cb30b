#pragma once

#include "platform/Platform.h"

#include <functional>

namespace velmora {

// The one place that chooses the real services of this operating system.
class PlatformFactory {
public:
    PlatformFactory() = delete;

    // onDisplayLost runs on the main loop when the keyboard's display goes away.
    static Platform makeSystemPlatform(std::function<void()> onDisplayLost = {});
};

} // namespace velmora
