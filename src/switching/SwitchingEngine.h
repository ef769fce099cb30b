#pragma once

#include "platform/KeyboardEventTap.h"
#include "platform/TextInputSources.h"
#include "switching/ExcludedApplications.h"
#include "switching/PendingRestore.h"
#include "switching/WindowLayouts.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace velmora {

// Selects an English layout while a trigger modifier is held and the previous
// layout again when the triggers are released. The press decides for the
// whole hold: one made in front of an excluded application switches nothing,
// not even when the focus leaves it before the release; one made elsewhere
// restores at its release wherever the focus went, unless the desktop keeps
// a layout per window (see WindowLayouts). Events are only observed: the
// callback hands every event back unchanged. Everything runs on the main
// thread, synchronously inside the tap's callback.
class SwitchingEngine {
public:
    // The owner's shutdown flag is read, never written, by the engine.
    // onTapCreated runs once after a tap has been created and enabled.
    explicit SwitchingEngine(const bool& isShuttingDown, std::function<void()> onTapCreated = {});
    ~SwitchingEngine();
    SwitchingEngine(const SwitchingEngine&) = delete;
    SwitchingEngine& operator=(const SwitchingEngine&) = delete;

    void createEventTap();
    static KeyboardEvent* eventTapCallback(uint32_t type, KeyboardEvent* event, void* userInfo);
    KeyboardEvent* handleKeyboardEvent(uint32_t type, KeyboardEvent* event);
    bool isTriggerModifierPressed(uint64_t flags) const;
    void switchToEnglishLayout();
    void restoreSavedLayout();
    // Runs when the focused window or application changed.
    void focusChanged();
    // Disables and invalidates the tap; the layout is left as it is.
    void tearDownEventTap();

    bool isShuttingDown() const { return isShuttingDown_; }

    std::unique_ptr<KeyboardEventTap> eventTap;
    InputSourceRef savedInputSource;
    // The source the last press selected; null when its selection failed.
    InputSourceRef selectedInputSource;
    bool modifierPressed = false;
    // A restore the desktop refused, applied once it answers again.
    PendingRestore pendingRestore{modifierPressed};

private:
    void reenableDisabledTap(uint32_t type);
    // The release after someone else changed the layout during the hold:
    // their change is the user's, so the layout it reached stays.
    // Returns false when nobody else changed it, so the saved source is due.
    bool keptForeignChange(TextInputSources& sources, const InputSource& selected);

    const bool& isShuttingDown_;
    std::function<void()> onTapCreated_;
    ExcludedApplications excluded_;
    WindowLayouts windowLayouts_;
    // The hold began in front of an excluded application.
    bool holdIgnored_ = false;
};

} // namespace velmora
