#pragma once

#include "platform/AccessibilityTrust.h"
#include "platform/AlertPresenter.h"
#include "platform/FocusedApplication.h"
#include "platform/KeyboardEventTap.h"
#include "platform/LoginItemService.h"
#include "platform/NetworkReachability.h"
#include "platform/SystemInformation.h"
#include "platform/TextInputSources.h"
#include "platform/Workspace.h"

#include <memory>

namespace velmora {

// The operating-system services the core reaches. main() installs the real
// ones; tests install fakes. A missing service behaves as one that fails.
struct Platform {
    std::shared_ptr<TextInputSources> inputSources;
    std::shared_ptr<KeyboardEventTapFactory> eventTaps;
    std::shared_ptr<AccessibilityTrust> accessibility;
    std::shared_ptr<LoginItemService> loginItems;
    std::shared_ptr<NetworkReachability> reachability;
    std::shared_ptr<SystemInformation> systemInformation;
    std::shared_ptr<Workspace> workspace;
    std::shared_ptr<AlertPresenter> alerts;
    // Null where Velmora does not follow the focus on this desktop.
    std::shared_ptr<FocusedApplication> focus;

    static Platform& current();
    static void install(Platform platform);
};

} // namespace velmora
