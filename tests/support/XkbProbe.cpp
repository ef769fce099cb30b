#include "support/XkbProbe.h"

#include "platform/x11/XcbXkb.h"

#include <chrono>
#include <cstdlib>
#include <poll.h>

namespace velmora::test {

namespace {
template <typename T> struct Freed {
    T* pointer;
    ~Freed() { std::free(pointer); }
    T* operator->() const { return pointer; }
    explicit operator bool() const { return pointer != nullptr; }
};
} // namespace

XkbProbe::XkbProbe(const QByteArray& display) {
    int screenNumber = 0;
    connection_ = xcb_connect(display.constData(), &screenNumber);
    if (xcb_connection_has_error(connection_))
        return;
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    const xcb_query_extension_reply_t* xkb = xcb_get_extension_data(connection_, &xcb_xkb_id);
    if (xkb == nullptr || !xkb->present)
        return;
    xkbFirstEvent_ = xkb->first_event;
    // An XKB-aware client: core key events carry the group in their state.
    Freed<xcb_xkb_use_extension_reply_t> use{
        xcb_xkb_use_extension_reply(connection_, xcb_xkb_use_extension(connection_, 1, 0), nullptr)};
}

XkbProbe::~XkbProbe() { xcb_disconnect(connection_); }

bool XkbProbe::isConnected() const {
    return xcb_connection_has_error(connection_) == 0 && xkbFirstEvent_ != 0;
}

int XkbProbe::currentGroup() {
    Freed<xcb_xkb_get_state_reply_t> state{xcb_xkb_get_state_reply(
        connection_, xcb_xkb_get_state(connection_, XCB_XKB_ID_USE_CORE_KBD), nullptr)};
    return state ? state->group : -1;
}

bool XkbProbe::lockGroup(int group) {
    const xcb_void_cookie_t cookie = xcb_xkb_latch_lock_state_checked(
        connection_, XCB_XKB_ID_USE_CORE_KBD, 0, 0, 1, static_cast<uint8_t>(group), 0, 0, 0);
    xcb_generic_error_t* error = xcb_request_check(connection_, cookie);
    std::free(error);
    return error == nullptr;
}

bool XkbProbe::grabKeyboard() {
    Freed<xcb_grab_keyboard_reply_t> reply{xcb_grab_keyboard_reply(
        connection_,
        xcb_grab_keyboard(connection_, 0, root_, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
        nullptr)};
    return reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
}

void XkbProbe::ungrabKeyboard() {
    xcb_ungrab_keyboard(connection_, XCB_CURRENT_TIME);
    xcb_flush(connection_);
}

bool XkbProbe::openFocusedWindow() {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    window_ = xcb_generate_id(connection_);
    const uint32_t events = XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE;
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, screen->root, 0, 0, 100, 100, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_EVENT_MASK, &events);
    xcb_map_window(connection_, window_);
    // No window manager: the window is viewable as soon as the map is handled.
    const xcb_void_cookie_t focus =
        xcb_set_input_focus_checked(connection_, XCB_INPUT_FOCUS_POINTER_ROOT, window_, XCB_CURRENT_TIME);
    xcb_generic_error_t* error = xcb_request_check(connection_, focus);
    std::free(error);
    return error == nullptr;
}

const QList<ObservedKey>& XkbProbe::keyEvents() {
    readPending();
    return keys_;
}

bool XkbProbe::watchGroupChanges() {
    xcb_xkb_select_events_details_t details{};
    details.affectState = XCB_XKB_STATE_PART_GROUP_STATE;
    details.stateDetails = XCB_XKB_STATE_PART_GROUP_STATE;
    const xcb_void_cookie_t cookie = xcb_xkb_select_events_aux_checked(
        connection_, XCB_XKB_ID_USE_CORE_KBD, XCB_XKB_EVENT_TYPE_STATE_NOTIFY, 0, 0, 0, 0, &details);
    xcb_generic_error_t* error = xcb_request_check(connection_, cookie);
    std::free(error);
    return error == nullptr;
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

const QList<int>& XkbProbe::groupChanges() {
    readPending();
    return groupChanges_;
}

void XkbProbe::readPending() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
        record(event);
        std::free(event);
    }
}

void XkbProbe::record(xcb_generic_event_t* event) {
    const uint8_t type = event->response_type & 0x7f;
    if (type == XCB_KEY_PRESS || type == XCB_KEY_RELEASE) {
        const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event);
        keys_.append({type == XCB_KEY_PRESS, key->detail, key->state});
    } else if (type == xkbFirstEvent_) {
        const auto* state = reinterpret_cast<const xcb_xkb_state_notify_event_t*>(event);
        if (state->xkbType == XCB_XKB_STATE_NOTIFY && (state->changed & XCB_XKB_STATE_PART_GROUP_STATE))
            groupChanges_.append(state->group);
    }
}

} // namespace velmora::test
