#pragma once

#include <QByteArray>

#include <cstdint>

#include <xcb/xcb.h>

namespace velmora::test {

// Injects key presses and releases through XTest, by numeric keycode and
// with explicit down and up, on a connection of its own. Nothing here looks
// up keysyms or touches the group, unlike higher-level typing tools.
class XTestKeyboard {
public:
    explicit XTestKeyboard(const QByteArray& display);
    ~XTestKeyboard();
    XTestKeyboard(const XTestKeyboard&) = delete;
    XTestKeyboard& operator=(const XTestKeyboard&) = delete;

    bool isConnected() const;
    // Sent and flushed at once; the server handles it asynchronously.
    void press(uint8_t keycode);
    void release(uint8_t keycode);
    // Returns once the server has handled everything sent before.
    bool sync();

private:
    void fake(uint8_t type, uint8_t keycode);

    xcb_connection_t* connection_;
};

} // namespace velmora::test
