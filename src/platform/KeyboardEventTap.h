#pragma once

#include "platform/KeyboardEvent.h"

#include <cstdint>
#include <memory>

namespace velmora {

// Called for every event the tap delivers, on the main thread. It returns the
// event to pass on; Velmora always returns the event it was given, unchanged.
using EventTapCallback = KeyboardEvent* (*)(uint32_t type, KeyboardEvent* event, void* userInfo);

// A system-wide observer of keyboard events. It delivers nothing until it is
// scheduled on the main loop and enabled; once invalidated it stops for good.
class KeyboardEventTap {
public:
    virtual ~KeyboardEventTap() = default;
    virtual void scheduleOnMainLoop() = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;
    virtual void invalidate() = 0;
};

class KeyboardEventTapFactory {
public:
    virtual ~KeyboardEventTapFactory() = default;
    // Returns null when this process may not observe the keyboard.
    virtual std::unique_ptr<KeyboardEventTap> createEventTap(uint64_t eventMask, EventTapCallback callback,
                                                             void* userInfo) = 0;
};

} // namespace velmora
