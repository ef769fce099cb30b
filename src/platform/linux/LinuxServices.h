#pragma once

#include "platform/Platform.h"

namespace velmora {

// Adds the Linux services that need no display: the autostart entry, the
// default route and the machine's facts.
void addLinuxServices(Platform& platform);

} // namespace velmora
