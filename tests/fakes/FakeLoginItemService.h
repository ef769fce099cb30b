#pragma once

#include "platform/LoginItemService.h"

namespace velmora {

// A login item kept in memory; either call can be made to fail.
class FakeLoginItemService final : public LoginItemService {
public:
    void setStatus(LoginItemStatus status) { status_ = status; }
    void failNextCalls(std::optional<Error> error) { failure_ = std::move(error); }
    int registerCalls() const { return registerCalls_; }
    int unregisterCalls() const { return unregisterCalls_; }

    LoginItemStatus status() override { return status_; }
    std::optional<Error> registerItem() override;
    std::optional<Error> unregisterItem() override;

private:
    LoginItemStatus status_ = LoginItemStatus::notRegistered;
    std::optional<Error> failure_;
    int registerCalls_ = 0;
    int unregisterCalls_ = 0;
};

} // namespace velmora
