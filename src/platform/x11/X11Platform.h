#pragma once

#include "platform/Platform.h"

#include <QByteArray>

#include <functional>

namespace velmora {

// The one place that puts the X11 services together.
class X11Platform {
public:
    X11Platform() = delete;

    // The services of one X display (DISPLAY when the name is empty). Only
    // the focus follower connects now, to hear every focus change; the others
    // connect when first used. onConnectionLost
    // runs on the main loop when an event tap's X server goes away.
    static Platform create(const QByteArray& displayName = {}, std::function<void()> onConnectionLost = {});
};

} // namespace velmora
