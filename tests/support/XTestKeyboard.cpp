#include "support/XTestKeyboard.h"

#include <xcb/xtest.h>

#include <cstdlib>

namespace velmora::test {

XTestKeyboard::XTestKeyboard(const QByteArray& display)
    : connection_(xcb_connect(display.constData(), nullptr)) {}

XTestKeyboard::~XTestKeyboard() { xcb_disconnect(connection_); }

bool XTestKeyboard::isConnected() const { return xcb_connection_has_error(connection_) == 0; }

void XTestKeyboard::press(uint8_t keycode) { fake(XCB_KEY_PRESS, keycode); }

void XTestKeyboard::release(uint8_t keycode) { fake(XCB_KEY_RELEASE, keycode); }

void XTestKeyboard::fake(uint8_t type, uint8_t keycode) {
    xcb_test_fake_input(connection_, type, keycode, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(connection_);
}

bool XTestKeyboard::sync() {
    xcb_get_input_focus_reply_t* reply =
        xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr);
    std::free(reply);
    return reply != nullptr;
}

} // namespace velmora::test
