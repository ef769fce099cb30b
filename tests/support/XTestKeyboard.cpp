#include "support/XTestKeyboard.h"

#include <xcb/xtest.h>

#include <cstdlib>

namespace velmora::test {

void XTestKeyboard::fake(uint8_t type, uint8_t keycode) {
    xcb_test_fake_input(connection_, type, keycode, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(connection_);
}

bool XTestKeyboard::sync() {
    void* reply = xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr);
    std::free(reply);
    return reply != nullptr;
}

} // namespace velmora::test
