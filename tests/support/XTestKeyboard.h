#pragma once

#include <QByteArray>

#include <cstdint>

#include <xcb/xcb.h>

namespace velmora::test {

// Injects key presses and releases through XTest by numeric keycode, with
// explicit down and up, on a connection of its own: no keysym lookup that
// would lock groups itself, as higher-level typing tools do.
class XTestKeyboard {
public:
    explicit XTestKeyboard(const QByteArray& display)
        : connection_(xcb_connect(display.constData(), nullptr)) {}
    ~XTestKeyboard() { xcb_disconnect(connection_); }
    XTestKeyboard(const XTestKeyboard&) = delete;
    XTestKeyboard& operator=(const XTestKeyboard&) = delete;

    bool isConnected() const { return xcb_connection_has_error(connection_) == 0; }
    // Sent and flushed at once; the server handles it asynchronously.
    void press(uint8_t keycode) { fake(XCB_KEY_PRESS, keycode); }
    void release(uint8_t keycode) { fake(XCB_KEY_RELEASE, keycode); }
    // Returns once the server has handled everything sent before (a round trip).
    bool sync();

private:
    void fake(uint8_t type, uint8_t keycode);

    xcb_connection_t* connection_;
};

} // namespace velmora::test
