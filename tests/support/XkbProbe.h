#pragma once

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <optional>

#include <xcb/xcb.h>

namespace velmora::test {

// A key event as the focused application received it.
struct ObservedKey {
    bool pressed = false;
    uint8_t keycode = 0;
    uint16_t state = 0;
    // The XKB group the event was delivered in (bits 13-14 of the state).
    int group() const { return (state >> 13) & 3; }
    bool hasControl() const { return state & XCB_MOD_MASK_CONTROL; }
};

// Another client: types raw keycodes through XTest (no keysym lookup that locks groups itself), reads and
// locks the group, grabs the keyboard as a menu does, and owns a focused window as the frontmost application.
class XkbProbe {
public:
    explicit XkbProbe(const QByteArray& display);
    ~XkbProbe() { xcb_disconnect(connection_); }
    XkbProbe(const XkbProbe&) = delete;
    XkbProbe& operator=(const XkbProbe&) = delete;

    bool isConnected() const { return xcb_connection_has_error(connection_) == 0 && xkbFirstEvent_ != 0; }
    // The effective group, or -1; a round trip.
    int currentGroup();
    // Sent and flushed at once; the server handles it asynchronously.
    void press(uint8_t keycode) { fake(XCB_KEY_PRESS, keycode); }
    void release(uint8_t keycode) { fake(XCB_KEY_RELEASE, keycode); }
    void type(uint8_t keycode) { press(keycode), release(keycode); }
    // Returns once the server has handled everything sent before (a round trip).
    bool sync() { return currentGroup() >= 0; }
    bool lockGroup(int group);
    bool grabKeyboard();
    // Maps a window and gives it the focus; the key events it received so far (without blocking).
    bool openFocusedWindow();
    const QList<ObservedKey>& keyEvents() { return readPending(), keys_; }
    // Records every change of the effective group from now on: the next one, waiting up to timeoutMs
    // (harnesses on a thread of their own), or all so far.
    bool watchGroupChanges();
    std::optional<int> waitForGroupChange(int timeoutMs);
    const QList<int>& groupChanges() { return readPending(), groupChanges_; }

private:
    bool checked(xcb_void_cookie_t cookie);
    void fake(uint8_t type, uint8_t keycode);
    void readPending();

    xcb_connection_t* connection_;
    xcb_window_t window_ = XCB_NONE;
    uint8_t xkbFirstEvent_ = 0;
    QList<ObservedKey> keys_;
    QList<int> groupChanges_;
    qsizetype groupChangesTaken_ = 0;
};

} // namespace velmora::test
