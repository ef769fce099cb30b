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

class FakeKeyboardEventTap final : public KeyboardEventTap {
public:
    explicit FakeKeyboardEventTap(std::shared_ptr<FakeTapRecord> record) : record_(std::move(record)) {}
    void scheduleOnMainLoop() override { record_->scheduled = true; }
    void setEnabled(bool enabled) override { record_->enabled = enabled && !record_->invalidated; }
    bool isEnabled() const override { return record_->enabled; }
    void invalidate() override { record_->invalidated = true, record_->enabled = false; }

private:
    std::shared_ptr<FakeTapRecord> record_;
};

// Creates fake taps, or refuses to (as when the keyboard may not be observed),
// and feeds events to the latest tap the way the platform would.
class FakeKeyboardEventTapFactory final : public KeyboardEventTapFactory {
public:
    void setRefuseCreation(bool refuse) { refuseCreation_ = refuse; }
    int createdCount() const { return createdCount_; }
    std::shared_ptr<FakeTapRecord> latest() const { return latest_; }
    std::unique_ptr<KeyboardEventTap> createEventTap(uint64_t mask, EventTapCallback callback,
                                                     void* userInfo) override {
        if (refuseCreation_)
            return nullptr;
        ++createdCount_;
        latest_ = std::make_shared<FakeTapRecord>(FakeTapRecord{mask, callback, userInfo});
        return std::make_unique<FakeKeyboardEventTap>(latest_);
    }
    // Delivers to a scheduled, valid tap when it is enabled and its mask asks
    // for the type (disabled notices always pass); returns the callback's
    // answer, or the event itself when nothing was delivered.
    KeyboardEvent* send(uint32_t type, KeyboardEvent* event) const {
        const bool notice =
            type == EventType::tapDisabledByTimeout || type == EventType::tapDisabledByUserInput;
        const bool wanted =
            latest_ && latest_->enabled && type < 64 && (latest_->eventMask & (uint64_t{1} << type));
        if (!latest_ || !latest_->scheduled || latest_->invalidated || !latest_->callback ||
            !(notice || wanted))
            return event;
        return latest_->callback(type, event, latest_->userInfo);
    }
    // Stops delivery as the platform does after a slow callback, and says so.
    void disableLatestBySystem(uint32_t noticeType) const {
        KeyboardEvent notice;
        if (latest_)
            latest_->enabled = false, send(noticeType, &notice);
    }

private:
    bool refuseCreation_ = false;
    int createdCount_ = 0;
    std::shared_ptr<FakeTapRecord> latest_;
};

} // namespace velmora
