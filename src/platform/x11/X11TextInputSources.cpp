#include "platform/x11/X11TextInputSources.h"

#include "base/ConsoleOutput.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/XcbReply.h"
#include "platform/x11/XkbSymbolsName.h"

#include "platform/x11/XcbXkb.h"
#include <xkbcommon/xkbcommon-x11.h>

#include <algorithm>

namespace velmora {

namespace {

// Everything that can change the groups, their names or the symbols name.
constexpr uint16_t keymapEvents =
    XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY | XCB_XKB_EVENT_TYPE_MAP_NOTIFY | XCB_XKB_EVENT_TYPE_NAMES_NOTIFY;
constexpr uint16_t allMapParts = XCB_XKB_MAP_PART_KEY_TYPES | XCB_XKB_MAP_PART_KEY_SYMS |
                                 XCB_XKB_MAP_PART_MODIFIER_MAP | XCB_XKB_MAP_PART_EXPLICIT_COMPONENTS |
                                 XCB_XKB_MAP_PART_KEY_ACTIONS | XCB_XKB_MAP_PART_KEY_BEHAVIORS |
                                 XCB_XKB_MAP_PART_VIRTUAL_MODS | XCB_XKB_MAP_PART_VIRTUAL_MOD_MAP;

// Bits of groupLockActions_.
constexpr uint8_t relativeLock = 1;
constexpr uint8_t absoluteLock = 2;

struct KeymapDeleter {
    void operator()(xkb_keymap* keymap) const { xkb_keymap_unref(keymap); }
};

} // namespace

X11TextInputSources::X11TextInputSources(QByteArray displayName) : displayName_(std::move(displayName)) {}

X11TextInputSources::~X11TextInputSources() {
    connection_.reset();
    if (context_ != nullptr)
        xkb_context_unref(context_);
}

InputSourceRef X11TextInputSources::copyCurrentKeyboardInputSource() {
    if (!synchronize() || !currentGroup_ || *currentGroup_ < 0 || *currentGroup_ >= sources_.size())
        return nullptr;
    return sources_.at(*currentGroup_);
}

std::optional<QList<InputSourceRef>> X11TextInputSources::createInputSourceList() {
    if (!synchronize())
        return std::nullopt;
    return sources_;
}

int32_t X11TextInputSources::selectInputSource(const InputSourceRef& source) {
    if (!source)
        return noSuchSource;
    if (!synchronize())
        return notConnected;
    const int group = groupOf(*source);
    if (group < 0)
        return noSuchSource;
    xcb_connection_t* c = connection_->get();
    const xcb_void_cookie_t lock =
        xcb_xkb_latch_lock_state(c, XCB_XKB_ID_USE_CORE_KBD, 0, 0, 1, static_cast<uint8_t>(group), 0, 0, 0);
    // Announcements made after the server handled the lock carry the next
    // sequence number, so our own change is told from the ones that follow.
    xcb_no_operation(c);
    if (xcb_flush(c) <= 0 || connection_->hasError())
        return requestFailed;
    // Known from now on; announcements of earlier changes still on their way
    // are older than this request.
    currentGroup_ = group;
    lockedGroup_ = group;
    groupSequence_ = lock.sequence;
    ownLockSequence_ = lock.sequence;
    foreign_ = {};
    return 0;
}

ForeignLayoutChange X11TextInputSources::foreignChangeSinceLastSelection() {
    if (connection_ && !connection_->hasError())
        drainEvents();
    return foreign_;
}

bool X11TextInputSources::ensureConnected() {
    if (connection_ && !connection_->hasError())
        return true;
    if (connection_)
        reportProblem(
            QStringLiteral("lost the connection to the X display %1").arg(connection_->displayName()));
    connection_.reset();
    sources_.clear();
    keymapStale_ = true;
    currentGroup_.reset();

    UntrustedReason problem;
    std::unique_ptr<X11Connection> connection = X11Connection::open(displayName_, false, &problem);
    if (!connection) {
        reportProblem(problem.english);
        return false;
    }
    xcb_connection_t* c = connection->get();
    xcb_xkb_select_events_details_t details{};
    details.affectState = XCB_XKB_STATE_PART_GROUP_STATE;
    details.stateDetails = XCB_XKB_STATE_PART_GROUP_STATE;
    const xcb_void_cookie_t selection = xcb_xkb_select_events_aux_checked(
        c, XCB_XKB_ID_USE_CORE_KBD, keymapEvents | XCB_XKB_EVENT_TYPE_STATE_NOTIFY, 0, keymapEvents,
        allMapParts, allMapParts, &details);
    XcbReply<xcb_generic_error_t> error(xcb_request_check(c, selection));
    const int32_t deviceId = xkb_x11_get_core_keyboard_device_id(c);
    if (error || deviceId < 0) {
        reportProblem(
            QStringLiteral("the X display %1 does not describe its keyboard").arg(connection->displayName()));
        return false;
    }
    if (context_ == nullptr)
        context_ = xkb_context_new(static_cast<xkb_context_flags>(XKB_CONTEXT_NO_DEFAULT_INCLUDES |
                                                                  XKB_CONTEXT_NO_ENVIRONMENT_NAMES));
    if (context_ == nullptr)
        return false;
    const xcb_query_extension_reply_t* xkb = xcb_get_extension_data(c, &xcb_xkb_id);
    xkbMajorOpcode_ = xkb != nullptr ? xkb->major_opcode : 0;
    connection_ = std::move(connection);
    deviceId_ = deviceId;
    return true;
}

bool X11TextInputSources::synchronize() {
    if (!ensureConnected())
        return false;
    // Reading the keymap or the group takes round trips, during which the
    // keymap may be replaced again; a few rounds settle it.
    for (int round = 0; round < 3; ++round) {
        drainEvents();
        if (connection_->hasError()) {
            ensureConnected(); // reports the broken connection
            return false;
        }
        if (!keymapStale_ && currentGroup_) {
            problemReported_ = false;
            return true;
        }
        if (keymapStale_ && !readKeymap())
            return false;
        if (!currentGroup_ && !readCurrentGroup())
            return false;
    }
    return false;
}

void X11TextInputSources::drainEvents() {
    const uint8_t xkbEvent = connection_->xkbFirstEvent();
    while (XcbReply<xcb_generic_event_t> event{xcb_poll_for_event(connection_->get())}) {
        if ((event->response_type & 0x7f) != xkbEvent)
            continue;
        const auto* state = reinterpret_cast<const xcb_xkb_state_notify_event_t*>(event.get());
        if (state->xkbType != XCB_XKB_STATE_NOTIFY) {
            // A new keymap may also have reset the group; nobody chose a
            // layout by that.
            keymapStale_ = true;
            currentGroup_.reset();
            lockedGroup_ = -1;
            foreign_ = {};
        } else if (static_cast<int32_t>(event->full_sequence - groupSequence_) >= 0) {
            if (lockedGroup_ >= 0 && state->lockedGroup != lockedGroup_ &&
                event->full_sequence != ownLockSequence_)
                noteForeignLock(*state);
            currentGroup_ = state->group;
            lockedGroup_ = state->lockedGroup;
        }
    }
}

bool X11TextInputSources::readCurrentGroup() {
    xcb_connection_t* c = connection_->get();
    const xcb_xkb_get_state_cookie_t cookie = xcb_xkb_get_state(c, XCB_XKB_ID_USE_CORE_KBD);
    XcbReply<xcb_xkb_get_state_reply_t> state(xcb_xkb_get_state_reply(c, cookie, nullptr));
    if (!state) {
        ensureConnected();
        return false;
    }
    // Announcements queued during the round trip are older than the reply
    // unless they carry its sequence number.
    currentGroup_ = state->group;
    lockedGroup_ = state->lockedGroup;
    groupSequence_ = cookie.sequence;
    return true;
}

void X11TextInputSources::noteForeignLock(const xcb_xkb_state_notify_event_t& state) {
    using Kind = ForeignLayoutChange::Kind;
    Kind kind = Kind::unknown;
    if (state.keycode != 0) {
        const uint8_t actions = groupLockActions_[state.keycode];
        if (actions & absoluteLock)
            kind = Kind::selection;
        else if (actions & relativeLock)
            kind = Kind::relative;
    } else if (state.requestMajor == xkbMajorOpcode_) {
        kind = Kind::selection; // a client locks a given group
    }
    if (kind != Kind::relative) {
        foreign_ = {kind, 0};
        return;
    }
    if (foreign_.kind != Kind::none && foreign_.kind != Kind::relative)
        return; // a toggle after a selection still ends where it ends
    // Wrapping relative locks make the distance in the group order exact.
    const int count = std::max(1, static_cast<int>(sources_.size()));
    foreign_.kind = Kind::relative;
    foreign_.steps += ((state.lockedGroup - lockedGroup_) % count + count) % count;
}

bool X11TextInputSources::readKeymap() {
    xcb_connection_t* c = connection_->get();
    // Cleared first: a change announced while the keymap is read marks it
    // stale again for the next call.
    keymapStale_ = false;
    const xcb_xkb_get_names_cookie_t namesCookie =
        xcb_xkb_get_names(c, XCB_XKB_ID_USE_CORE_KBD, XCB_XKB_NAME_DETAIL_SYMBOLS);
    const xcb_setup_t* setup = xcb_get_setup(c);
    const xcb_xkb_get_map_cookie_t mapCookie = xcb_xkb_get_map(
        c, XCB_XKB_ID_USE_CORE_KBD, XCB_XKB_MAP_PART_KEY_ACTIONS, 0, 0, 0, 0, 0, setup->min_keycode,
        static_cast<uint8_t>(setup->max_keycode - setup->min_keycode + 1), 0, 0, 0, 0, 0, 0, 0, 0, 0);
    std::unique_ptr<xkb_keymap, KeymapDeleter> keymap(
        xkb_x11_keymap_new_from_device(context_, c, deviceId_, XKB_KEYMAP_COMPILE_NO_FLAGS));
    XcbReply<xcb_xkb_get_names_reply_t> names(xcb_xkb_get_names_reply(c, namesCookie, nullptr));
    XcbReply<xcb_xkb_get_map_reply_t> map(xcb_xkb_get_map_reply(c, mapCookie, nullptr));
    if (!keymap || !names || !map) {
        keymapStale_ = true;
        reportProblem(
            QStringLiteral("cannot read the keymap of the X display %1").arg(connection_->displayName()));
        return false;
    }

    xcb_xkb_get_names_value_list_t values{};
    xcb_xkb_get_names_value_list_unpack(
        xcb_xkb_get_names_value_list(names.get()), names->nTypes, names->indicators, names->virtualMods,
        names->groupNames, names->nKeys, names->nKeyAliases, names->nRadioGroups, names->which, &values);
    QString symbolsName;
    if (values.symbolsName != XCB_ATOM_NONE) {
        XcbReply<xcb_get_atom_name_reply_t> atom(
            xcb_get_atom_name_reply(c, xcb_get_atom_name(c, values.symbolsName), nullptr));
        if (atom)
            symbolsName = QString::fromUtf8(xcb_get_atom_name_name(atom.get()),
                                            xcb_get_atom_name_name_length(atom.get()));
    }
    const QStringList layouts = layoutsFromSymbolsName(symbolsName);

    // The keymap itself says how many groups there are; group names can keep
    // an entry of a group that is gone.
    const xkb_layout_index_t groups = xkb_keymap_num_layouts(keymap.get());
    QList<InputSourceRef> sources;
    for (xkb_layout_index_t group = 0; group < groups; ++group) {
        InputSource source;
        const int index = static_cast<int>(group);
        if (index < layouts.size() && !layouts.at(index).isEmpty())
            source.identifier = layouts.at(index);
        if (const char* name = xkb_keymap_layout_get_name(keymap.get(), group);
            name != nullptr && *name != '\0')
            source.localizedName = QString::fromUtf8(name);
        source.handle = index;
        sources.append(std::make_shared<const InputSource>(std::move(source)));
    }
    sources_ = std::move(sources);
    readGroupLockActions(*map);
    return true;
}

void X11TextInputSources::readGroupLockActions(const xcb_xkb_get_map_reply_t& map) {
    groupLockActions_.fill(0);
    xcb_xkb_get_map_map_t parts{};
    xcb_xkb_get_map_map_unpack(xcb_xkb_get_map_map(&map), map.nTypes, map.nKeySyms, map.nKeyActions,
                               map.totalActions, map.totalKeyBehaviors, map.virtualMods, map.totalKeyExplicit,
                               map.totalModMapKeys, map.totalVModMapKeys, map.present, &parts);
    if (parts.acts_rtrn_count == nullptr || parts.acts_rtrn_acts == nullptr)
        return;
    const xcb_xkb_action_t* action = parts.acts_rtrn_acts;
    const xcb_xkb_action_t* end = action + map.totalActions;
    for (int key = 0; key < map.nKeyActions; ++key) {
        const int keycode = map.firstKeyAction + key;
        for (int i = 0; i < parts.acts_rtrn_count[key] && action < end; ++i, ++action) {
            if (action->type != XCB_XKB_SA_TYPE_LOCK_GROUP || keycode > 255)
                continue;
            groupLockActions_[keycode] |=
                (action->lockgroup.flags & XCB_XKB_SA_GROUP_ABSOLUTE) ? absoluteLock : relativeLock;
        }
    }
}

int X11TextInputSources::groupOf(const InputSource& source) const {
    const bool handleInRange = source.handle >= 0 && source.handle < sources_.size();
    if (handleInRange && sources_.at(source.handle)->identifier == source.identifier)
        return static_cast<int>(source.handle);
    // The keymap was reloaded since the source was read: its layout may sit
    // in another group now, or be gone.
    if (!source.identifier)
        return -1;
    for (int group = 0; group < sources_.size(); ++group)
        if (sources_.at(group)->identifier == source.identifier)
            return group;
    return -1;
}

void X11TextInputSources::reportProblem(const QString& problem) {
    // Once per outage, not once per key press.
    if (problemReported_)
        return;
    problemReported_ = true;
    ConsoleOutput::writeLine(QStringLiteral("❌ Keyboard layouts unavailable: ") + problem);
}

} // namespace velmora
