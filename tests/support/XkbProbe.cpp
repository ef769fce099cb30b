#include "support/XkbProbe.h"

#include "platform/x11/XcbReply.h"
#include "platform/x11/XcbXkb.h"

#include <chrono>
#include <poll.h>
#include <xcb/xtest.h>

namespace velmora::test {

namespace {

template <typename T> XcbReply<T> reply(T* pointer) {
    return XcbReply<T>(pointer);
}

} // namespace

XkbProbe::XkbProbe(const QByteArray& display) : connection_(xcb_connect(display.constData(), nullptr)) {
    const xcb_query_extension_reply_t* xkb = xcb_get_extension_data(connection_, &xcb_xkb_id);
    if (xcb_connection_has_error(connection_) || xkb == nullptr || !xkb->present)
        return;
    // An XKB-aware client: core key events carry the group in their state.
    if (reply(xcb_xkb_use_extension_reply(connection_, xcb_xkb_use_extension(connection_, 1, 0), nullptr)))
        xkbFirstEvent_ = xkb->first_event;
}

int XkbProbe::currentGroup() {
    const auto state = reply(xcb_xkb_get_state_reply(
        connection_, xcb_xkb_get_state(connection_, XCB_XKB_ID_USE_CORE_KBD), nullptr));
    return state ? state->group : -1;
}

void XkbProbe::fake(uint8_t type, uint8_t keycode) {
    xcb_test_fake_input(connection_, type, keycode, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(connection_);
}

bool XkbProbe::checked(xcb_void_cookie_t cookie) {
    return !reply(xcb_request_check(connection_, cookie));
}

bool XkbProbe::lockGroup(int group) {
    return checked(xcb_xkb_latch_lock_state_checked(connection_, XCB_XKB_ID_USE_CORE_KBD, 0, 0, 1,
                                                    static_cast<uint8_t>(group), 0, 0, 0));
}

bool XkbProbe::grabKeyboard() {
    const auto grab = reply(xcb_grab_keyboard_reply(
        connection_,
        xcb_grab_keyboard(connection_, 0, xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root,
                          XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
        nullptr));
    return grab && grab->status == XCB_GRAB_STATUS_SUCCESS;
}

bool XkbProbe::openFocusedWindow() {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    window_ = xcb_generate_id(connection_);
    const uint32_t events = XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE;
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, screen->root, 0, 0, 100, 100, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_EVENT_MASK, &events);
    xcb_map_window(connection_, window_);
    // No window manager: the window is viewable as soon as the map is handled.
    return checked(
        xcb_set_input_focus_checked(connection_, XCB_INPUT_FOCUS_POINTER_ROOT, window_, XCB_CURRENT_TIME));
}

bool XkbProbe::watchGroupChanges() {
    xcb_xkb_select_events_details_t details{};
    details.affectState = details.stateDetails = XCB_XKB_STATE_PART_GROUP_STATE;
    return checked(xcb_xkb_select_events_aux_checked(connection_, XCB_XKB_ID_USE_CORE_KBD,
                                                     XCB_XKB_EVENT_TYPE_STATE_NOTIFY, 0, 0, 0, 0, &details));
}

std::optional<int> XkbProbe::waitForGroupChange(int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
        readPending();
        if (groupChangesTaken_ < groupChanges_.size())
            return groupChanges_.at(groupChangesTaken_++);
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0 || xcb_connection_has_error(connection_))
            return std::nullopt;
        pollfd readable{xcb_get_file_descriptor(connection_), POLLIN, 0};
        ::poll(&readable, 1, static_cast<int>(left));
    }
}

void XkbProbe::readPending() {
    while (const auto event = reply(xcb_poll_for_event(connection_))) {
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_KEY_PRESS || type == XCB_KEY_RELEASE) {
            const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event.get());
            keys_.append({type == XCB_KEY_PRESS, key->detail, key->state});
        } else if (type == xkbFirstEvent_) {
            const auto* state = reinterpret_cast<const xcb_xkb_state_notify_event_t*>(event.get());
            if (state->xkbType == XCB_XKB_STATE_NOTIFY && (state->changed & XCB_XKB_STATE_PART_GROUP_STATE))
                groupChanges_.append(state->group);
        }
    }
}

} // namespace velmora::test
