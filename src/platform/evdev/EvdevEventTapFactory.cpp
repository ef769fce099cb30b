#include "platform/evdev/EvdevEventTapFactory.h"

#include "base/ConsoleOutput.h"
#include "platform/evdev/EvdevDeviceAccess.h"
#include "platform/evdev/EvdevEventTap.h"
#include "platform/evdev/EvdevKeyboards.h"
#include "platform/evdev/SeatKeymap.h"

namespace velmora {

EvdevEventTapFactory::EvdevEventTapFactory(std::function<int()> currentLayout,
                                           std::shared_ptr<EvdevDeviceAccess> access)
    : currentLayout_(std::move(currentLayout)),
      access_(access ? std::move(access) : std::make_shared<SystemEvdevDeviceAccess>()) {}

std::unique_ptr<KeyboardEventTap>
EvdevEventTapFactory::createEventTap(uint64_t eventMask, EventTapCallback callback, void* userInfo) {
    std::unique_ptr<EvdevEventTap> tap;
    const QStringList configured = EvdevKeyboards::configuredPaths();
    if (configured.isEmpty()) {
        std::shared_ptr<EvdevDeviceAccess> access = access_;
        tap = std::make_unique<EvdevEventTap>(
            access_, eventMask, callback, userInfo, [access] { return EvdevKeyboards::discover(*access); },
            EvdevKeyboards::deviceDirectory());
    } else {
        // Read as given, even where the path answers no capability question.
        tap = std::make_unique<EvdevEventTap>(access_, eventMask, callback, userInfo);
        for (const QString& path : configured)
            if (!tap->addDevice(path))
                ConsoleOutput::writeLine(QStringLiteral("⚠️ Cannot read keyboard device ") + path);
    }
    if (tap->deviceCount() == 0) {
        ConsoleOutput::writeLine(
            QStringLiteral("❌ Cannot observe the keyboard: no keyboard device can be read"));
        return nullptr;
    }
    if (!keymap_)
        keymap_ = std::make_shared<WaylandSeatKeymap>();
    tap->followKeymap(keymap_, currentLayout_);
    return tap;
}

} // namespace velmora
