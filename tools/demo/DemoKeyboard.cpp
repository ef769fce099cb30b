// Presses keys on an X display the way a person would, by keycode with
// explicit down and up (XTest), and reports the keyboard group another
// program sees after each step. Used by the scripted demo.
//
//   velmora-demo-keys STEP...
//   STEP: down:<keycode> | up:<keycode> | wait:<ms> | show:<label>

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include "platform/x11/XcbXkb.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

int currentGroup(xcb_connection_t* connection) {
    xcb_xkb_get_state_reply_t* state =
        xcb_xkb_get_state_reply(connection, xcb_xkb_get_state(connection, XCB_XKB_ID_USE_CORE_KBD), nullptr);
    if (state == nullptr)
        return -1;
    const int group = state->group;
    std::free(state);
    return group;
}

bool useXkb(xcb_connection_t* connection) {
    xcb_xkb_use_extension_reply_t* reply =
        xcb_xkb_use_extension_reply(connection, xcb_xkb_use_extension(connection, 1, 0), nullptr);
    const bool supported = reply != nullptr && reply->supported;
    std::free(reply);
    return supported;
}

} // namespace

int main(int argc, char** argv) {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) || !useXkb(connection)) {
        std::fprintf(stderr, "velmora-demo-keys: no X display with XKB\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    for (int i = 1; i < argc; ++i) {
        const std::string step = argv[i];
        const auto colon = step.find(':');
        const std::string verb = step.substr(0, colon);
        const std::string value = colon == std::string::npos ? std::string() : step.substr(colon + 1);
        if (verb == "down" || verb == "up") {
            const auto type = static_cast<uint8_t>(verb == "down" ? XCB_KEY_PRESS : XCB_KEY_RELEASE);
            xcb_test_fake_input(connection, type, static_cast<uint8_t>(std::atoi(value.c_str())), XCB_CURRENT_TIME,
                                root, 0, 0, 0);
            xcb_flush(connection);
        } else if (verb == "wait") {
            std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(value.c_str())));
        } else if (verb == "show") {
            std::printf("🎹 %-34s keyboard group now: %d\n", value.c_str(), currentGroup(connection));
            std::fflush(stdout);
        } else {
            std::fprintf(stderr, "velmora-demo-keys: unknown step '%s'\n", step.c_str());
            return 2;
        }
    }
    xcb_disconnect(connection);
    return 0;
}
