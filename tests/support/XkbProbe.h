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

// Another client on the display: it types keys through XTest by numeric
// keycode, with explicit down and up (no keysym lookup that would lock groups
// itself, as higher-level typing tools do), reads and locks the group as any
// program can, grabs the keyboard as a menu does, and owns a focused window
// that gets key events as the frontmost application does.
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
    // Returns once the server has handled everything sent before (a round trip).
    bool sync();
    bool lockGroup(int group);
    bool grabKeyboard();
    // Maps a window and gives it the keyboard focus; the key events it
    // received so far (what is pending, without blocking).
    bool openFocusedWindow();
    const QList<ObservedKey>& keyEvents();
    // From now on, every change of the effective group is recorded: read the
    // next one, waiting up to timeoutMs (harnesses on a thread of their own),
    // or all so far (what is pending).
    bool watchGroupChanges();
    std::optional<int> waitForGroupChange(int timeoutMs);
    const QList<int>& groupChanges();

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
