#pragma once

#include "platform/Platform.h"

namespace velmora {

// Adds the services Qt provides on every desktop: modal alerts and the
// desktop's handlers for addresses and files.
void addQtServices(Platform& platform);

} // namespace velmora
