#include "fakes/FakeLoginItemService.h"

namespace velmora {

std::optional<Error> FakeLoginItemService::registerItem() {
    ++registerCalls_;
    if (failure_)
        return failure_;
    status_ = LoginItemStatus::enabled;
    return std::nullopt;
}

std::optional<Error> FakeLoginItemService::unregisterItem() {
    ++unregisterCalls_;
    if (failure_)
        return failure_;
    status_ = LoginItemStatus::notRegistered;
    return std::nullopt;
}

} // namespace velmora
