#pragma once

#include "platform/KeyboardEventTap.h"

#include <memory>

namespace velmora {

// What a fake tap went through, kept by the factory after the tap is gone.
struct FakeTapRecord {
    uint64_t eventMask = 0;
    EventTapCallback callback = nullptr;
    void* userInfo = nullptr;
    bool scheduled = false, enabled = false, invalidated = false;
};

struct FakeKeyboardEventTap final : KeyboardEventTap {
    std::shared_ptr<FakeTapRecord> record;
    void scheduleOnMainLoop() override { record->scheduled = true; }
    void setEnabled(bool enabled) override { record->enabled = enabled && !record->invalidated; }
    bool isEnabled() const override { return record->enabled; }
    void invalidate() override { record->invalidated = true, record->enabled = false; }
};

// Creates fake taps and feeds events to the latest one the way the platform would.
class FakeKeyboardEventTapFactory final : public KeyboardEventTapFactory {
public:
    int createdCount() const { return createdCount_; }
    std::shared_ptr<FakeTapRecord> latest() const { return latest_; }
    std::unique_ptr<KeyboardEventTap> createEventTap(uint64_t mask, EventTapCallback callback,
                                                     void* userInfo) override {
        ++createdCount_;
        auto tap = std::make_unique<FakeKeyboardEventTap>();
        tap->record = latest_ = std::make_shared<FakeTapRecord>(FakeTapRecord{mask, callback, userInfo});
        return tap;
    }
    // Delivers to a scheduled, valid, enabled tap whose mask asks for the type (disabled notices always
    // pass); returns the callback's answer, or the event itself when nothing was delivered.
    KeyboardEvent* send(uint32_t type, KeyboardEvent* event) const {
        const FakeTapRecord* tap = latest_.get();
        const bool notice =
            type == EventType::tapDisabledByTimeout || type == EventType::tapDisabledByUserInput;
        if (!tap || !tap->scheduled || tap->invalidated ||
            !(notice || (tap->enabled && type < 64 && (tap->eventMask >> type & 1))))
            return event;
        return tap->callback(type, event, tap->userInfo);
    }
    // Stops delivery as the platform does after a slow callback, and says so.
    void disableLatestBySystem(uint32_t noticeType) const {
        KeyboardEvent notice;
        latest_->enabled = false, send(noticeType, &notice);
    }

private:
    int createdCount_ = 0;
    std::shared_ptr<FakeTapRecord> latest_;
};

} // namespace velmora
