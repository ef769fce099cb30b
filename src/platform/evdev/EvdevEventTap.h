#pragma once

#include "platform/KeyboardEventTap.h"
#include "platform/evdev/EvdevModifierKeys.h"

#include <QMetaObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct input_event;
class QFileSystemWatcher;
class QSocketNotifier;

namespace velmora {

class EvdevDeviceAccess;
class SeatKeymap;
class XkbKeymap;

// Observes keyboards through their evdev devices, read-only and without a
// grab. The state of the modifier keys, per device and combined, becomes
// "flags changed" events; presses and releases of other keys become key-down
// and key-up events carrying the combined flags and no key code. Auto-repeat
// is ignored; after SYN_DROPPED the device's held keys are read afresh.
//
// Which keys are modifiers, and which ones, the seat's keymap says, on the
// desktop's current layout: Right Alt is AltGr where the layout makes it so,
// Caps Lock a Ctrl where the options do. Without a keymap a fixed table of
// the Shift, Ctrl, Alt and Super keys stands in.
class EvdevEventTap final : public KeyboardEventTap {
public:
    // discover, when given, lists the keyboards to read now; it runs again
    // whenever watchedDirectory changes, so keyboards plugged in later are read.
    EvdevEventTap(std::shared_ptr<EvdevDeviceAccess> access, uint64_t eventMask, EventTapCallback callback,
                  void* userInfo, std::function<QStringList()> discover = {}, QString watchedDirectory = {});
    ~EvdevEventTap() override;
    EvdevEventTap(const EvdevEventTap&) = delete;
    EvdevEventTap& operator=(const EvdevEventTap&) = delete;

    // Opens the path for reading unless it is open already; false when it
    // cannot be opened.
    bool addDevice(const QString& path);
    int deviceCount() const { return static_cast<int>(devices_.size()); }
    // Translates keys through the seat's keymap from now on, on the layout
    // currentLayout gives (the desktop's, as its switcher last heard).
    void followKeymap(std::shared_ptr<SeatKeymap> seat, std::function<int()> currentLayout);

    void scheduleOnMainLoop() override;
    void setEnabled(bool enabled) override;
    bool isEnabled() const override;
    void invalidate() override;

private:
    struct Device;
    void watchForDevice(Device& device);
    void rescan();
    void readDevice(Device& device);
    void handleEvent(Device& device, const input_event& event);
    void resynchronize(Device& device);
    // Starts the device's state over in the current keymap from the keys it
    // holds, when it can tell them.
    void restate(Device& device, const std::optional<EvdevKeyBits>& held);
    void restateAll();
    void closeDevice(Device& device);
    void updateFlags(uint32_t keycode);
    void deliver(uint32_t type, uint32_t keycode);

    std::shared_ptr<EvdevDeviceAccess> access_;
    uint64_t eventMask_;
    EventTapCallback callback_;
    void* userInfo_;
    std::function<QStringList()> discover_;
    QString watchedDirectory_;
    std::unique_ptr<QFileSystemWatcher> watcher_;
    std::vector<std::unique_ptr<Device>> devices_;
    std::shared_ptr<SeatKeymap> seat_;
    std::shared_ptr<const XkbKeymap> keymap_;
    std::function<int()> currentLayout_;
    QMetaObject::Connection keymapChanged_;
    bool scheduled_ = false;
    bool enabled_ = false;
    bool invalidated_ = false;
    // Caps Lock is one state shared by every keyboard, as the lights show it.
    bool capsLock_ = false;
    uint64_t flags_ = 0;
};

} // namespace velmora
