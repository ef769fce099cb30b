#pragma once

#include "platform/FocusedApplication.h"

namespace velmora {

// The application in front as the test says; each change is announced.
struct FakeFocusedApplication final : FocusedApplication {
    std::optional<QString> focused, window;
    bool follows = true;
    bool followsFocus() const override { return follows; }
    std::optional<QString> identifier() const override { return follows ? focused : std::nullopt; }
    std::optional<QString> windowKey() const override { return follows ? window : std::nullopt; }
    void focus(std::optional<QString> identifier, bool told = true, std::optional<QString> key = {}) {
        focused = std::move(identifier), follows = told, window = std::move(key);
        notifyChanged();
    }
};

} // namespace velmora
