#include "platform/x11/X11EventTapFactory.h"

#include "base/ConsoleOutput.h"
#include "platform/x11/X11EventTap.h"

namespace velmora {

X11EventTapFactory::X11EventTapFactory(QByteArray displayName, std::function<void()> onConnectionLost)
    : displayName_(std::move(displayName)), onConnectionLost_(std::move(onConnectionLost)) {}

std::unique_ptr<KeyboardEventTap>
X11EventTapFactory::createEventTap(uint64_t eventMask, EventTapCallback callback, void* userInfo) {
    QString problem;
    std::unique_ptr<X11EventTap> tap =
        X11EventTap::create(displayName_, eventMask, callback, userInfo, onConnectionLost_, &problem);
    if (!tap)
        ConsoleOutput::writeLine(QStringLiteral("❌ Cannot observe the keyboard: ") + problem);
    return tap;
}

} // namespace velmora
