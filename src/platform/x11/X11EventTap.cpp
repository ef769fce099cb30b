#include "platform/x11/X11EventTap.h"

#include "base/ConsoleOutput.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11ModifierFlags.h"
#include "platform/x11/XcbReply.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include "platform/x11/XcbXkb.h"
#include <xcb/xinput.h>

namespace velmora {

namespace {

// XKB state parts whose change alters the effective modifiers. Group changes
// (Velmora's own switches among them) are not asked for.
constexpr uint16_t modifierStateParts = XCB_XKB_STATE_PART_MODIFIER_STATE | XCB_XKB_STATE_PART_MODIFIER_BASE |
                                        XCB_XKB_STATE_PART_MODIFIER_LATCH | XCB_XKB_STATE_PART_MODIFIER_LOCK;

struct RawKeyEventMask {
    xcb_input_event_mask_t header;
    uint32_t bits;
};

} // namespace

std::unique_ptr<X11EventTap> X11EventTap::create(const QByteArray& displayName, uint64_t eventMask,
                                                 EventTapCallback callback, void* userInfo,
                                                 std::function<void()> onConnectionLost, QString* problem) {
    UntrustedReason unusable;
    std::unique_ptr<X11Connection> connection = X11Connection::open(displayName, true, &unusable);
    if (!connection) {
        if (problem != nullptr)
            *problem = unusable.english;
        return nullptr;
    }
    std::unique_ptr<X11EventTap> tap(
        new X11EventTap(std::move(connection), eventMask, callback, userInfo, std::move(onConnectionLost)));
    if (!tap->selectEvents() || !tap->readInitialState()) {
        if (problem != nullptr)
            *problem = QStringLiteral("the X display %1 refused the keyboard event selection")
                           .arg(tap->connection_->displayName());
        return nullptr;
    }
    return tap;
}

X11EventTap::X11EventTap(std::unique_ptr<X11Connection> connection, uint64_t eventMask,
                         EventTapCallback callback, void* userInfo, std::function<void()> onConnectionLost)
    : connection_(std::move(connection)), eventMask_(eventMask), callback_(callback), userInfo_(userInfo),
      onConnectionLost_(std::move(onConnectionLost)) {}

X11EventTap::~X11EventTap() { invalidate(); }

bool X11EventTap::selectEvents() {
    xcb_connection_t* c = connection_->get();

    xcb_xkb_select_events_details_t details{};
    details.affectState = modifierStateParts;
    details.stateDetails = modifierStateParts;
    const uint16_t mapParts = XCB_XKB_MAP_PART_MODIFIER_MAP;
    const xcb_void_cookie_t xkbCookie = xcb_xkb_select_events_aux_checked(
        c, XCB_XKB_ID_USE_CORE_KBD,
        XCB_XKB_EVENT_TYPE_STATE_NOTIFY | XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY |
            XCB_XKB_EVENT_TYPE_MAP_NOTIFY,
        0, XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY, mapParts, mapParts, &details);

    // Raw events of the master keyboard: one per key, whichever device sent
    // it, and never subject to another client's grab.
    const RawKeyEventMask mask{{XCB_INPUT_DEVICE_ALL_MASTER, 1},
                               XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS |
                                   XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE};
    const xcb_void_cookie_t xiCookie =
        xcb_input_xi_select_events_checked(c, connection_->rootWindow(), 1, &mask.header);

    XcbReply<xcb_generic_error_t> xkbError(xcb_request_check(c, xkbCookie));
    XcbReply<xcb_generic_error_t> xiError(xcb_request_check(c, xiCookie));
    return !xkbError && !xiError && !connection_->hasError();
}

bool X11EventTap::readInitialState() {
    xcb_connection_t* c = connection_->get();
    // Asked after the selection: the events queued before these replies lead
    // up to the state they report, so replaying them ends in the same state.
    const xcb_xkb_get_state_cookie_t stateCookie = xcb_xkb_get_state(c, XCB_XKB_ID_USE_CORE_KBD);
    const xcb_query_keymap_cookie_t keymapCookie = xcb_query_keymap(c);
    XcbReply<xcb_xkb_get_state_reply_t> state(xcb_xkb_get_state_reply(c, stateCookie, nullptr));
    XcbReply<xcb_query_keymap_reply_t> keymap(xcb_query_keymap_reply(c, keymapCookie, nullptr));
    if (!state || !keymap)
        return false;
    flags_ = modifierFlagsFromX11Mask(state->mods);
    for (size_t keycode = 0; keycode < keysDown_.size(); ++keycode)
        keysDown_[keycode] = (keymap->keys[keycode / 8] >> (keycode % 8)) & 1;
    refreshModifierKeys();
    return true;
}

void X11EventTap::scheduleOnMainLoop() {
    if (invalidated_ || notifier_)
        return;
    notifier_ = std::make_unique<QSocketNotifier>(connection_->fileDescriptor(), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { readEvents(); });
    // The set-up round trips may have queued events already; the notifier
    // only sees what is still in the socket.
    readEvents();
}

void X11EventTap::setEnabled(bool enabled) {
    if (invalidated_ || enabled == enabled_)
        return;
    // What happened before enabling is brought into the tracked state, not
    // delivered.
    if (enabled && notifier_)
        readEvents();
    enabled_ = enabled;
}

bool X11EventTap::isEnabled() const { return enabled_ && !invalidated_ && !connectionLost_; }

void X11EventTap::invalidate() {
    if (invalidated_)
        return;
    invalidated_ = true;
    enabled_ = false;
    notifier_.reset(); // before the connection closes its descriptor
    connection_.reset();
}

void X11EventTap::readEvents() {
    while (connection_ && !connectionLost_) {
        XcbReply<xcb_generic_event_t> event(xcb_poll_for_event(connection_->get()));
        if (!event)
            break;
        handleEvent(event.get());
    }
    if (connection_ && !connectionLost_ && connection_->hasError())
        reportConnectionLost();
}

void X11EventTap::handleEvent(const xcb_generic_event_t* event) {
    const uint8_t responseType = event->response_type & 0x7f;
    if (responseType == connection_->xkbFirstEvent()) {
        handleXkbEvent(event);
    } else if (responseType == XCB_GE_GENERIC) {
        const auto* generic = reinterpret_cast<const xcb_ge_generic_event_t*>(event);
        if (generic->extension != connection_->xinputOpcode())
            return;
        const auto* raw = reinterpret_cast<const xcb_input_raw_key_press_event_t*>(event);
        if (generic->event_type == XCB_INPUT_RAW_KEY_PRESS)
            handleRawKey(raw->detail, true);
        else if (generic->event_type == XCB_INPUT_RAW_KEY_RELEASE)
            handleRawKey(raw->detail, false);
    } else if (responseType == XCB_MAPPING_NOTIFY) {
        modifierKeysStale_ = true;
    }
}

void X11EventTap::handleXkbEvent(const xcb_generic_event_t* event) {
    // Every XKB event carries its kind in the second byte.
    const uint8_t xkbType = reinterpret_cast<const uint8_t*>(event)[1];
    if (xkbType == XCB_XKB_NEW_KEYBOARD_NOTIFY || xkbType == XCB_XKB_MAP_NOTIFY) {
        modifierKeysStale_ = true;
        return;
    }
    if (xkbType != XCB_XKB_STATE_NOTIFY)
        return;
    const auto* state = reinterpret_cast<const xcb_xkb_state_notify_event_t*>(event);
    const uint64_t flags = modifierFlagsFromX11Mask(state->mods);
    // Changes the flag word cannot show (Num Lock, AltGr) are not events for
    // the engine.
    if (flags == flags_)
        return;
    flags_ = flags;
    deliver(EventType::flagsChanged, state->keycode);
}

void X11EventTap::handleRawKey(uint32_t keycode, bool pressed) {
    if (keycode >= keysDown_.size())
        return;
    if (modifierKeysStale_)
        refreshModifierKeys();
    const bool wasDown = keysDown_[keycode];
    keysDown_[keycode] = pressed;
    // Modifier keys speak through the XKB state that follows their raw event.
    if (modifierKeys_[keycode])
        return;
    if (pressed)
        deliver(EventType::keyDown, keycode);
    else if (wasDown)
        deliver(EventType::keyUp, keycode);
}

void X11EventTap::refreshModifierKeys() {
    xcb_connection_t* c = connection_->get();
    XcbReply<xcb_get_modifier_mapping_reply_t> mapping(
        xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr));
    if (!mapping)
        return;
    modifierKeys_.reset();
    const xcb_keycode_t* keycodes = xcb_get_modifier_mapping_keycodes(mapping.get());
    const int count = xcb_get_modifier_mapping_keycodes_length(mapping.get());
    for (int i = 0; i < count; ++i)
        if (keycodes[i] != 0)
            modifierKeys_.set(keycodes[i]);
    modifierKeysStale_ = false;
}

void X11EventTap::deliver(uint32_t type, uint32_t keycode) {
    if (!enabled_ || invalidated_ || callback_ == nullptr || !(eventMask_ & (uint64_t{1} << type)))
        return;
    KeyboardEvent event{flags_, keycode};
    callback_(type, &event, userInfo_);
}

void X11EventTap::reportConnectionLost() {
    connectionLost_ = true;
    // A broken socket stays readable for ever; the notifier must not spin.
    if (notifier_)
        notifier_->setEnabled(false);
    ConsoleOutput::writeLine(
        QStringLiteral("❌ Lost the connection to the X display %1: layout switching has stopped")
            .arg(connection_->displayName()));
    if (onConnectionLost_ && QCoreApplication::instance() != nullptr)
        QMetaObject::invokeMethod(QCoreApplication::instance(), onConnectionLost_, Qt::QueuedConnection);
}

} // namespace velmora
