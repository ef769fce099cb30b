#include "platform/Platform.h"

namespace velmora {

namespace {
Platform& installed() {
    static Platform platform;
    return platform;
}
} // namespace

Platform& Platform::current() { return installed(); }

void Platform::install(Platform platform) { installed() = std::move(platform); }

} // namespace velmora
