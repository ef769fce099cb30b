#include "platform/evdev/EvdevEventTap.h"

#include "base/ConsoleOutput.h"
#include "platform/evdev/EvdevDeviceAccess.h"
#include "platform/evdev/SeatKeymap.h"

#include <QFile>
#include <QFileSystemWatcher>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/input.h>
#include <unistd.h>

namespace velmora {

namespace {

// Device nodes appear before udev has granted access to them.
constexpr int permissionSettleMs = 1000;

} // namespace

struct EvdevEventTap::Device {
    QString path;
    int fd = -1;
    std::unique_ptr<QSocketNotifier> notifier;
    // Bytes of an event not read whole yet (a pipe may split one).
    QByteArray partial;
    // The held modifiers: in the seat's keymap when there is one, else by
    // the fixed table.
    std::unique_ptr<XkbKeyState> keys;
    ModifierKeySet modifiers = 0;
    uint64_t flags() const { return keys ? keys->flags() : modifierFlagsFor(modifiers, false); }
    bool dropping = false;
    bool closed = false;
};

EvdevEventTap::EvdevEventTap(std::shared_ptr<EvdevDeviceAccess> access, uint64_t eventMask,
                             EventTapCallback callback, void* userInfo, std::function<QStringList()> discover,
                             QString watchedDirectory)
    : access_(std::move(access)), eventMask_(eventMask), callback_(callback), userInfo_(userInfo),
      discover_(std::move(discover)), watchedDirectory_(std::move(watchedDirectory)) {
    if (discover_)
        for (const QString& path : discover_())
            addDevice(path);
}

EvdevEventTap::~EvdevEventTap() {
    invalidate();
}

bool EvdevEventTap::addDevice(const QString& path) {
    if (invalidated_)
        return false;
    for (const auto& device : devices_)
        if (device->path == path)
            return true;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    auto device = std::make_unique<Device>();
    device->path = path;
    device->fd = fd;
    restate(*device, access_->keyState(fd));
    if (const std::optional<bool> light = access_->capsLockLight(fd))
        capsLock_ = *light;
    devices_.push_back(std::move(device));
    if (scheduled_)
        watchForDevice(*devices_.back());
    updateFlags(0);
    return true;
}

void EvdevEventTap::followKeymap(std::shared_ptr<SeatKeymap> seat, std::function<int()> currentLayout) {
    QObject::disconnect(keymapChanged_);
    seat_ = std::move(seat);
    currentLayout_ = std::move(currentLayout);
    keymapChanged_ =
        QObject::connect(seat_.get(), &SeatKeymap::changed, seat_.get(), [this] { restateAll(); });
    restateAll();
}

void EvdevEventTap::restateAll() {
    keymap_ = seat_ ? seat_->current() : nullptr;
    for (const auto& device : devices_)
        restate(*device, access_->keyState(device->fd));
    updateFlags(0);
}

void EvdevEventTap::restate(Device& device, const std::optional<EvdevKeyBits>& held) {
    device.modifiers = held ? modifierKeysHeld(*held) : 0;
    device.keys = keymap_ ? std::make_unique<XkbKeyState>(keymap_) : nullptr;
    // Keys held through a new keymap are pressed again in it: a modifier
    // released later is then released there, never stuck.
    bool capsLock = capsLock_;
    for (unsigned code = 0; device.keys && held && code < held->size(); ++code)
        if (held->test(code))
            device.keys->update(code, true, currentLayout_ ? currentLayout_() : -1, capsLock);
}

void EvdevEventTap::scheduleOnMainLoop() {
    if (invalidated_ || scheduled_)
        return;
    scheduled_ = true;
    for (const auto& device : devices_)
        watchForDevice(*device);
    if (discover_ && !watchedDirectory_.isEmpty()) {
        watcher_ = std::make_unique<QFileSystemWatcher>(QStringList{watchedDirectory_});
        QObject::connect(watcher_.get(), &QFileSystemWatcher::directoryChanged, watcher_.get(), [this] {
            rescan();
            QTimer::singleShot(permissionSettleMs, watcher_.get(), [this] { rescan(); });
        });
    }
}

void EvdevEventTap::watchForDevice(Device& device) {
    device.notifier = std::make_unique<QSocketNotifier>(device.fd, QSocketNotifier::Read);
    QObject::connect(device.notifier.get(), &QSocketNotifier::activated, device.notifier.get(),
                     [this, &device] { readDevice(device); });
}

void EvdevEventTap::rescan() {
    const int before = deviceCount();
    for (const QString& path : discover_())
        addDevice(path);
    for (int i = before; i < deviceCount(); ++i)
        ConsoleOutput::writeLine(QStringLiteral("⌨️ Keyboard device added: ") + devices_[i]->path);
}

void EvdevEventTap::setEnabled(bool enabled) {
    if (!invalidated_)
        enabled_ = enabled;
}

bool EvdevEventTap::isEnabled() const {
    return enabled_ && !invalidated_;
}

void EvdevEventTap::invalidate() {
    if (invalidated_)
        return;
    invalidated_ = true;
    enabled_ = false;
    QObject::disconnect(keymapChanged_);
    watcher_.reset();
    for (const auto& device : devices_) {
        device->notifier.reset();
        ::close(device->fd);
    }
    devices_.clear();
}

void EvdevEventTap::readDevice(Device& device) {
    char buffer[64 * sizeof(input_event)];
    while (!device.closed && !invalidated_) {
        const ssize_t count = ::read(device.fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && errno == EAGAIN)
            break;
        if (count <= 0) { // end of stream, or the device was unplugged (ENODEV)
            closeDevice(device);
            return;
        }
        device.partial.append(buffer, count);
        qsizetype offset = 0;
        for (; offset + qsizetype(sizeof(input_event)) <= device.partial.size();
             offset += sizeof(input_event)) {
            input_event event;
            std::memcpy(&event, device.partial.constData() + offset, sizeof event);
            QPointer<QSocketNotifier> alive = device.notifier.get();
            handleEvent(device, event);
            // The callback may have invalidated the tap and closed the device.
            if (invalidated_ || !alive)
                return;
        }
        device.partial.remove(0, offset);
    }
}

void EvdevEventTap::handleEvent(Device& device, const input_event& event) {
    if (event.type == EV_SYN) {
        if (event.code == SYN_DROPPED)
            device.dropping = true;
        else if (event.code == SYN_REPORT && device.dropping)
            resynchronize(device);
        return;
    }
    // Between a drop and the next report the stream is incomplete: the key
    // state read at the report replaces it.
    if (device.dropping)
        return;
    if (event.type == EV_LED && event.code == LED_CAPSL) {
        capsLock_ = event.value != 0;
        updateFlags(0);
        return;
    }
    // Value 2 is auto-repeat: nothing changed.
    if (event.type != EV_KEY || event.value == 2)
        return;
    const bool pressed = event.value == 1;
    bool modifier = true;
    if (device.keys) {
        // Only a press takes the layout: a release undoes what its press did.
        const int layout = pressed && currentLayout_ ? currentLayout_() : -1;
        modifier = device.keys->update(event.code, pressed, layout, capsLock_);
    } else if (const ModifierKeySet bit = modifierKeyBit(event.code)) {
        device.modifiers = pressed ? (device.modifiers | bit) : (device.modifiers & ~bit);
    } else if (event.code == KEY_CAPSLOCK) {
        capsLock_ = pressed ? !capsLock_ : capsLock_;
    } else {
        modifier = false;
    }
    if (modifier)
        updateFlags(event.code + 8);
    else // which key it was is neither passed on nor kept
        deliver(pressed ? EventType::keyDown : EventType::keyUp, 0);
}

void EvdevEventTap::resynchronize(Device& device) {
    device.dropping = false;
    // A device that cannot tell is taken to hold nothing: a modifier stuck
    // down would keep English selected.
    restate(device, access_->keyState(device.fd));
    if (const std::optional<bool> light = access_->capsLockLight(device.fd))
        capsLock_ = *light;
    updateFlags(0);
}

void EvdevEventTap::closeDevice(Device& device) {
    device.closed = true;
    ConsoleOutput::writeLine(QStringLiteral("⌨️ Keyboard device closed: ") + device.path);
    // Not deleted inside its own signal.
    if (device.notifier) {
        device.notifier->setEnabled(false);
        device.notifier.release()->deleteLater();
    }
    ::close(device.fd);
    const auto found = std::find_if(devices_.begin(), devices_.end(),
                                    [&device](const auto& d) { return d.get() == &device; });
    std::unique_ptr<Device> gone = std::move(*found);
    devices_.erase(found);
    updateFlags(0);
}

void EvdevEventTap::updateFlags(uint32_t keycode) {
    uint64_t flags = capsLock_ ? ModifierFlag::capsLock : 0;
    for (const auto& device : devices_)
        flags |= device->flags();
    if (flags == flags_)
        return;
    flags_ = flags;
    deliver(EventType::flagsChanged, keycode);
}

void EvdevEventTap::deliver(uint32_t type, uint32_t keycode) {
    if (!enabled_ || invalidated_ || callback_ == nullptr || !(eventMask_ & (uint64_t{1} << type)))
        return;
    KeyboardEvent event{flags_, keycode};
    callback_(type, &event, userInfo_);
}

} // namespace velmora
