#include "platform/evdev/SeatKeymap.h"

#include "base/ConsoleOutput.h"

#include <QDeadlineTimer>
#include <QSocketNotifier>
#include <QTimer>

#include <cstring>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

namespace velmora {

namespace {

// A desktop that went away (KWin restarting) is asked again this often.
constexpr int reconnectMs = 2000;

WaylandSeatKeymap* self(void* data) {
    return static_cast<WaylandSeatKeymap*>(data);
}

const wl_registry_listener registryListener{
    [](void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
        if (std::strcmp(interface, wl_seat_interface.name) == 0)
            self(data)->seatAnnounced(registry, name);
    },
    [](void*, wl_registry*, uint32_t) {}};

const wl_seat_listener seatListener{
    [](void* data, wl_seat*, uint32_t capabilities) { self(data)->capabilitiesChanged(capabilities); },
    [](void*, wl_seat*, const char*) {}};

// Only the keymap matters: without a surface of its own Velmora gets no keys.
const wl_keyboard_listener keyboardListener{
    [](void* data, wl_keyboard*, uint32_t format, int fd, uint32_t size) {
        self(data)->keymapReceived(format, fd, size);
    },
    [](void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {},
    [](void*, wl_keyboard*, uint32_t, wl_surface*) {},
    [](void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t) {},
    [](void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {},
    [](void*, wl_keyboard*, int32_t, int32_t) {}};

} // namespace

void SeatKeymap::set(std::shared_ptr<const XkbKeymap> keymap) {
    keymap_ = std::move(keymap);
    Q_EMIT changed();
}

WaylandSeatKeymap::WaylandSeatKeymap(int waitMs) {
    if (connectToDesktop())
        for (QDeadlineTimer deadline(waitMs); !current() && !deadline.hasExpired();)
            if (!dispatch(int(deadline.remainingTime())))
                break;
    if (!current())
        ConsoleOutput::writeLine(
            QStringLiteral("⚠️ The desktop gives Velmora no keymap: modifier keys count as on a plain "
                           "keyboard (Right Alt as Alt, Caps Lock as Caps Lock), whatever the layouts "
                           "and options make them"));
}

WaylandSeatKeymap::~WaylandSeatKeymap() {
    notifier_.reset();
    disconnect();
}

bool WaylandSeatKeymap::connectToDesktop() {
    display_ = wl_display_connect(nullptr);
    if (display_ == nullptr)
        return false;
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &registryListener, this);
    wl_display_flush(display_);
    notifier_ = std::make_unique<QSocketNotifier>(wl_display_get_fd(display_), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        if (!dispatch()) {
            disconnect();
            reconnectLater();
        }
    });
    return true;
}

void WaylandSeatKeymap::reconnectLater() {
    QTimer::singleShot(reconnectMs, this, [this] {
        if (!connectToDesktop())
            reconnectLater();
    });
}

void WaylandSeatKeymap::disconnect() {
    // Possibly inside the notifier's own signal.
    if (notifier_) {
        notifier_->setEnabled(false);
        notifier_.release()->deleteLater();
    }
    if (keyboard_)
        wl_keyboard_destroy(std::exchange(keyboard_, nullptr));
    if (seat_)
        wl_seat_destroy(std::exchange(seat_, nullptr));
    if (registry_)
        wl_registry_destroy(std::exchange(registry_, nullptr));
    if (display_)
        wl_display_disconnect(std::exchange(display_, nullptr));
}

bool WaylandSeatKeymap::dispatch(int timeoutMs) {
    while (wl_display_prepare_read(display_) != 0)
        if (wl_display_dispatch_pending(display_) < 0)
            return false;
    wl_display_flush(display_);
    pollfd readable{wl_display_get_fd(display_), POLLIN, 0};
    const int ready = ::poll(&readable, 1, timeoutMs);
    if (ready <= 0) {
        wl_display_cancel_read(display_);
        return ready == 0;
    }
    // What the handlers asked for (the keyboard of a seat that just got one) goes out now, not with
    // the next message from the desktop.
    if (wl_display_read_events(display_) != 0 || wl_display_dispatch_pending(display_) < 0)
        return false;
    wl_display_flush(display_);
    return true;
}

void WaylandSeatKeymap::seatAnnounced(wl_registry* registry, uint32_t name) {
    if (seat_)
        return;
    seat_ = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    wl_seat_add_listener(seat_, &seatListener, this);
}

void WaylandSeatKeymap::capabilitiesChanged(uint32_t capabilities) {
    if ((capabilities & WL_SEAT_CAPABILITY_KEYBOARD) && !keyboard_) {
        keyboard_ = wl_seat_get_keyboard(seat_);
        wl_keyboard_add_listener(keyboard_, &keyboardListener, this);
    }
}

void WaylandSeatKeymap::keymapReceived(uint32_t format, int fd, uint32_t size) {
    void* text = format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1
                     ? ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0)
                     : MAP_FAILED;
    ::close(fd);
    if (text == MAP_FAILED)
        return;
    std::shared_ptr<const XkbKeymap> keymap = XkbKeymap::fromText(
        QByteArray(static_cast<const char*>(text), qstrnlen(static_cast<char*>(text), size)));
    ::munmap(text, size);
    if (!keymap)
        return;
    ConsoleOutput::writeLine(QStringLiteral("⌨️ Modifier keys as the desktop's keymap has them: ") +
                             keymap->layoutNames().join(QStringLiteral(", ")));
    set(std::move(keymap));
}

} // namespace velmora
