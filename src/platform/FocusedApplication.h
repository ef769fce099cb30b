#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace velmora {

// The application whose window has the keyboard focus, kept up to date from
// the desktop's own focus events so that a key press can ask without a round
// trip to the desktop.
class FocusedApplication {
public:
    virtual ~FocusedApplication() = default;
    // False where the desktop tells no focus: nothing is then excluded.
    virtual bool followsFocus() const = 0;
    // The focused application's identifier: its desktop-entry id where the
    // desktop tells it, otherwise the window's class (X11) or app_id. Nothing
    // when no window has the focus or the desktop tells no focus.
    virtual std::optional<QString> identifier() const = 0;
    // The focused window, where the desktop tells its windows apart; two
    // windows of one application have different keys.
    virtual std::optional<QString> windowKey() const { return std::nullopt; }
    // Runs on the main loop after identifier() or windowKey() changed.
    void setChangedHandler(std::function<void()> changed) { changed_ = std::move(changed); }

protected:
    void notifyChanged() const {
        if (changed_)
            changed_();
    }

private:
    std::function<void()> changed_;
};

} // namespace velmora
