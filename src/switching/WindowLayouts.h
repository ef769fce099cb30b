#pragma once

#include "platform/TextInputSources.h"

#include <QHash>
#include <QString>

#include <optional>

namespace velmora {

// On a desktop that keeps a layout per window (or per application), English
// selected for a hold is stored for the window in front. When the focus
// moves during the hold (Alt+Tab), the desktop selects the new window's own
// layout and keeps English for the window left. So the release leaves the new
// window's layout alone, and the window left gets the layout of the press back
// once it is focused outside a hold. On a desktop with one layout for the
// session nothing of this applies: the release restores as anywhere.
class WindowLayouts {
public:
    // At a press that selected English: the focus and the layout it had.
    void pressed(InputSourceRef saved);
    // At the release: true when the desktop keeps a layout per window and the
    // focus moved to another during the hold; the window left is remembered
    // and the one in front gets its remembered layout.
    bool releasedElsewhere();
    // The focus changed outside a hold: a remembered window gets its layout.
    void focusChanged();

private:
    struct Focus {
        std::optional<QString> application, window;
        bool operator==(const Focus&) const = default;
    };
    static Focus focused();
    static std::optional<QString> key(const Focus& focus, LayoutScope scope);

    Focus pressedIn_;
    InputSourceRef saved_;
    QHash<QString, InputSourceRef> remembered_;
};

} // namespace velmora
