#pragma once

#include "platform/KeyboardEventTap.h"

#include <memory>

namespace velmora {

// What a fake tap went through, kept alive by the factory so tests can look
// after the tap itself is gone.
struct FakeTapRecord {
    uint64_t eventMask = 0;
    EventTapCallback callback = nullptr;
    void* userInfo = nullptr;
    bool scheduled = false;
    bool enabled = false;
    bool invalidated = false;
    int enableCount = 0;
};

class FakeKeyboardEventTap final : public KeyboardEventTap {
public:
    explicit FakeKeyboardEventTap(std::shared_ptr<FakeTapRecord> record) : record_(std::move(record)) {}

    void scheduleOnMainLoop() override { record_->scheduled = true; }
    void setEnabled(bool enabled) override;
    bool isEnabled() const override { return record_->enabled; }
    void invalidate() override;

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

    std::unique_ptr<KeyboardEventTap> createEventTap(uint64_t eventMask, EventTapCallback callback,
                                                     void* userInfo) override;

    // Delivers an event through the latest tap's callback when the tap is
    // scheduled, enabled and valid and the mask asks for the type (the
    // disabled notices always pass). Returns what the callback returned, or
    // the event itself when nothing was delivered.
    KeyboardEvent* send(uint32_t type, KeyboardEvent* event) const;
    // Stops delivery the way the platform does after a slow callback, and
    // sends the matching notice.
    void disableLatestBySystem(uint32_t noticeType) const;

private:
    bool refuseCreation_ = false;
    int createdCount_ = 0;
    std::shared_ptr<FakeTapRecord> latest_;
};

} // namespace velmora
