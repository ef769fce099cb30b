#include "fakes/FakeKeyboardEventTap.h"

namespace velmora {

void FakeKeyboardEventTap::setEnabled(bool enabled) {
    if (record_->invalidated)
        return;
    record_->enabled = enabled;
    if (enabled)
        ++record_->enableCount;
}

void FakeKeyboardEventTap::invalidate() {
    record_->invalidated = true;
    record_->enabled = false;
}

std::unique_ptr<KeyboardEventTap> FakeKeyboardEventTapFactory::createEventTap(uint64_t eventMask,
                                                                              EventTapCallback callback,
                                                                              void* userInfo) {
    if (refuseCreation_)
        return nullptr;
    ++createdCount_;
    latest_ = std::make_shared<FakeTapRecord>();
    latest_->eventMask = eventMask;
    latest_->callback = callback;
    latest_->userInfo = userInfo;
    return std::make_unique<FakeKeyboardEventTap>(latest_);
}

KeyboardEvent* FakeKeyboardEventTapFactory::send(uint32_t type, KeyboardEvent* event) const {
    const bool notice = type == EventType::tapDisabledByTimeout || type == EventType::tapDisabledByUserInput;
    if (!latest_ || !latest_->scheduled || latest_->invalidated || latest_->callback == nullptr)
        return event;
    if (!notice && (!latest_->enabled || type >= 64 || !(latest_->eventMask & (uint64_t{1} << type))))
        return event;
    return latest_->callback(type, event, latest_->userInfo);
}

void FakeKeyboardEventTapFactory::disableLatestBySystem(uint32_t noticeType) const {
    if (!latest_)
        return;
    latest_->enabled = false;
    KeyboardEvent notice;
    send(noticeType, &notice);
}

} // namespace velmora
