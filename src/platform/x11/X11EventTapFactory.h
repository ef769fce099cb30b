#pragma once

#include "platform/KeyboardEventTap.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace velmora {

// Creates X11 event taps on one display, each with its own connection.
class X11EventTapFactory final : public KeyboardEventTapFactory {
public:
    // An empty display name means DISPLAY. onConnectionLost runs on the main
    // loop when a tap's X server goes away.
    explicit X11EventTapFactory(QByteArray displayName = {}, std::function<void()> onConnectionLost = {});

    // Null when the keyboard cannot be observed; a line says why.
    std::unique_ptr<KeyboardEventTap> createEventTap(uint64_t eventMask, EventTapCallback callback,
                                                     void* userInfo) override;

private:
    QByteArray displayName_;
    std::function<void()> onConnectionLost_;
};

} // namespace velmora
