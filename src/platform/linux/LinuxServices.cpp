#include "platform/linux/LinuxServices.h"

#include "platform/linux/LinuxSystemInformation.h"
#include "platform/linux/ProcNetRouteReachability.h"
#include "platform/linux/XdgAutostartLoginItem.h"

namespace velmora {

void addLinuxServices(Platform& platform) {
    platform.loginItems = std::make_shared<XdgAutostartLoginItem>(XdgAutostartLoginItem::forCurrentUser());
    platform.reachability = std::make_shared<ProcNetRouteReachability>();
    platform.systemInformation = std::make_shared<LinuxSystemInformation>();
}

} // namespace velmora
