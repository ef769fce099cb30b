#pragma once

#include "base/Error.h"

#include <optional>

namespace velmora {

// Numbered as the system's login-item service numbers them; only enabled
// counts as registered.
enum class LoginItemStatus { notRegistered = 0, enabled = 1, requiresApproval = 2, notFound = 3 };

// Starting Velmora when the user logs in.
class LoginItemService {
public:
    virtual ~LoginItemService() = default;
    virtual LoginItemStatus status() = 0;
    // Nothing on success, the failure otherwise.
    virtual std::optional<Error> registerItem() = 0;
    virtual std::optional<Error> unregisterItem() = 0;
};

} // namespace velmora
