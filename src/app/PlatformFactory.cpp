#include "app/PlatformFactory.h"

#include "platform/linux/LinuxSystemInformation.h"
#include "platform/linux/ProcNetRouteReachability.h"
#include "platform/linux/XdgAutostartLoginItem.h"
#include "platform/qt/QtAlertPresenter.h"
#include "platform/qt/QtWorkspace.h"
#include "platform/x11/X11Platform.h"

namespace velmora {

Platform PlatformFactory::makeSystemPlatform(std::function<void()> onDisplayLost) {
    Platform platform = X11Platform::create({}, std::move(onDisplayLost));
    platform.loginItems = std::make_shared<XdgAutostartLoginItem>(XdgAutostartLoginItem::forCurrentUser());
    platform.reachability = std::make_shared<ProcNetRouteReachability>();
    platform.systemInformation = std::make_shared<LinuxSystemInformation>();
    platform.workspace = std::make_shared<QtWorkspace>();
    platform.alerts = std::make_shared<QtAlertPresenter>();
    return platform;
}

} // namespace velmora
