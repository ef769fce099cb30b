#pragma once

#include "platform/evdev/XkbModifiers.h"

#include <QObject>

#include <memory>

struct wl_display;
struct wl_keyboard;
struct wl_registry;
struct wl_seat;
class QSocketNotifier;

namespace velmora {

// The keymap of the seat the observed keyboards type into; null while the
// desktop has given none.
class SeatKeymap : public QObject {
    Q_OBJECT

public:
    std::shared_ptr<const XkbKeymap> current() const { return keymap_; }
    void set(std::shared_ptr<const XkbKeymap> keymap);

Q_SIGNALS:
    void changed();

private:
    std::shared_ptr<const XkbKeymap> keymap_;
};

// The keymap a Wayland desktop gives every client that asks for the seat's
// keyboard (wl_keyboard.keymap), focused or not, and again whenever layouts
// or options change. Velmora's own small connection, read on the main loop.
class WaylandSeatKeymap final : public SeatKeymap {
    Q_OBJECT

public:
    // Connects to the desktop WAYLAND_DISPLAY names and waits up to waitMs
    // for the keymap; without one, one line says that modifier keys count
    // as on a plain keyboard.
    explicit WaylandSeatKeymap(int waitMs = 1000);
    ~WaylandSeatKeymap() override;

    // Listener entry points of libwayland.
    void seatAnnounced(wl_registry* registry, uint32_t name);
    void capabilitiesChanged(uint32_t capabilities);
    void keymapReceived(uint32_t format, int fd, uint32_t size);

private:
    bool connectToDesktop();
    void reconnectLater();
    void disconnect();
    // Reads and handles what the desktop sent; false when the connection is gone.
    bool dispatch(int timeoutMs = 0);

    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    wl_keyboard* keyboard_ = nullptr;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace velmora
