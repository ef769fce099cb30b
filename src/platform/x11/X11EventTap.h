#pragma once

#include "platform/KeyboardEventTap.h"

#include <QByteArray>
#include <QString>

#include <bitset>
#include <functional>
#include <memory>

#include <xcb/xcb.h>

class QSocketNotifier;

namespace velmora {

class X11Connection;

// Observes the whole keyboard of an X display without grabbing or altering
// anything. XKB state changes become "flags changed" events carrying the
// modifiers after the change; XInput 2.2 raw presses and releases of keys that
// are not modifiers become key-down and key-up events carrying the last known
// modifiers. The tap reads its own connection from a socket notifier, so the
// callback runs on the thread that scheduled it (the main thread).
class X11EventTap final : public KeyboardEventTap {
public:
    // Returns null, and says why in *problem, when the display's keyboard
    // cannot be observed. onConnectionLost is posted to the main loop once if
    // the X server goes away.
    static std::unique_ptr<X11EventTap> create(const QByteArray& displayName, uint64_t eventMask,
                                               EventTapCallback callback, void* userInfo,
                                               std::function<void()> onConnectionLost, QString* problem);
    ~X11EventTap() override;
    X11EventTap(const X11EventTap&) = delete;
    X11EventTap& operator=(const X11EventTap&) = delete;

    void scheduleOnMainLoop() override;
    void setEnabled(bool enabled) override;
    bool isEnabled() const override;
    // Closes the connection. Not to be called from inside the callback.
    void invalidate() override;

private:
    X11EventTap(std::unique_ptr<X11Connection> connection, uint64_t eventMask, EventTapCallback callback,
                void* userInfo, std::function<void()> onConnectionLost);
    bool selectEvents();
    bool readInitialState();
    void readEvents();
    void handleEvent(const xcb_generic_event_t* event);
    void handleXkbEvent(const xcb_generic_event_t* event);
    void handleRawKey(uint32_t keycode, bool pressed);
    void refreshModifierKeys();
    void deliver(uint32_t type, uint32_t keycode);
    void reportConnectionLost();

    std::unique_ptr<X11Connection> connection_;
    std::unique_ptr<QSocketNotifier> notifier_;
    uint64_t eventMask_;
    EventTapCallback callback_;
    void* userInfo_;
    std::function<void()> onConnectionLost_;
    bool enabled_ = false;
    bool invalidated_ = false;
    bool connectionLost_ = false;
    // The modifier flags of the latest XKB state the tap has seen.
    uint64_t flags_ = 0;
    // Raw releases can arrive for keys already up; only a key seen down is
    // reported up.
    std::bitset<256> keysDown_;
    std::bitset<256> modifierKeys_;
    bool modifierKeysStale_ = true;
};

} // namespace velmora
