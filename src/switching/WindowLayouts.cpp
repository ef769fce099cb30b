#include "switching/WindowLayouts.h"

#include "diagnostics/Logger.h"
#include "platform/Platform.h"

#include <utility>

namespace velmora {

void WindowLayouts::pressed(InputSourceRef saved) {
    pressedIn_ = focused();
    saved_ = std::move(saved);
}

bool WindowLayouts::releasedElsewhere() {
    const InputSourceRef saved = std::exchange(saved_, nullptr);
    TextInputSources* sources = Platform::current().inputSources.get();
    if (!saved || sources == nullptr || focused() == pressedIn_)
        return false;
    const LayoutScope scope = sources->layoutScope();
    const std::optional<QString> left = key(pressedIn_, scope), now = key(focused(), scope);
    if (!left || !now || left == now)
        return false;
    remembered_.insert(*left, saved);
    Logger::log(QStringLiteral("Left %1 during the hold: its layout is put back when it is focused again")
                    .arg(pressedIn_.application.value_or(*left)));
    focusChanged();
    return true;
}

void WindowLayouts::focusChanged() {
    TextInputSources* sources = Platform::current().inputSources.get();
    if (remembered_.isEmpty() || sources == nullptr)
        return;
    const std::optional<QString> now = key(focused(), sources->layoutScope());
    // The desktop has selected the layout it stored for the window: Velmora's English.
    if (const InputSourceRef layout = now ? remembered_.take(*now) : nullptr)
        sources->selectInputSource(layout);
}

WindowLayouts::Focus WindowLayouts::focused() {
    const FocusedApplication* focus = Platform::current().focus.get();
    if (focus == nullptr)
        return {};
    return {focus->identifier(), focus->windowKey()};
}

std::optional<QString> WindowLayouts::key(const Focus& focus, LayoutScope scope) {
    switch (scope) {
    case LayoutScope::window:
        return focus.window;
    case LayoutScope::application:
        return focus.application;
    case LayoutScope::global:
        break;
    }
    return std::nullopt;
}

} // namespace velmora
