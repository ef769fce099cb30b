#pragma once

#include "platform/KeyboardEventTap.h"
#include "platform/TextInputSources.h"

#include <memory>

namespace velmora {

// The operating-system services the core reaches. main() installs the real
// ones; tests install fakes.
struct Platform {
    std::shared_ptr<TextInputSources> inputSources;
    std::shared_ptr<KeyboardEventTapFactory> eventTaps;

    static Platform& current();
    static void install(Platform platform);
};

} // namespace velmora
