#pragma once

#include "platform/TextInputSources.h"

#include <QByteArray>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

struct xkb_context;
struct xcb_xkb_get_map_reply_t;
struct xcb_xkb_state_notify_event_t;

namespace velmora {

class X11Connection;

// The groups of the display's XKB keymap as input sources, in group order.
// Identifier: the group's "layout" or "layout(variant)" from the keymap's
// symbols name; display name: the group name; handle: the group index. The
// current source is the effective group; selecting a source locks its group.
//
// The switching path makes no round trip to the server: the effective group
// and the keymap are followed through the server's announcements, read from
// the socket at every call. The server sends an announcement to this client
// before it answers, or reports a key event to, anyone else, so a change made
// before a key press is known when the press is handled; what is known about
// the keymap is dropped whenever a new one is announced.
//
// A change of the locked group that this object did not request is foreign:
// a key's LockGroup action (relative for every "next layout" option, told
// apart through the keymap's key actions, read with the keymap) or another
// client's lock request (a selection of that group).
class X11TextInputSources final : public TextInputSources {
public:
    // Status codes of selectInputSource besides 0.
    static constexpr int32_t notConnected = -1;
    static constexpr int32_t noSuchSource = -2;
    static constexpr int32_t requestFailed = -3;

    // An empty display name means DISPLAY. The connection is opened at the
    // first call, and opened again after it broke.
    explicit X11TextInputSources(QByteArray displayName = {});
    ~X11TextInputSources() override;
    X11TextInputSources(const X11TextInputSources&) = delete;
    X11TextInputSources& operator=(const X11TextInputSources&) = delete;

    InputSourceRef copyCurrentKeyboardInputSource() override;
    std::optional<QList<InputSourceRef>> createInputSourceList() override;
    int32_t selectInputSource(const InputSourceRef& source) override;
    ForeignLayoutChange foreignChangeSinceLastSelection() override;

private:
    bool ensureConnected();
    // Takes in what the server has announced; reads the keymap and the group
    // afresh when they are not known.
    bool synchronize();
    void drainEvents();
    bool readCurrentGroup();
    bool readKeymap();
    void readGroupLockActions(const xcb_xkb_get_map_reply_t& map);
    void noteForeignLock(const xcb_xkb_state_notify_event_t& state);
    // The group a source stands for now, or -1.
    int groupOf(const InputSource& source) const;
    void reportProblem(const QString& problem);

    QByteArray displayName_;
    std::unique_ptr<X11Connection> connection_;
    xkb_context* context_ = nullptr;
    int32_t deviceId_ = -1;
    bool keymapStale_ = true;
    // The effective group, valid while known, and the sequence number of the
    // request it reflects: announcements the server made before handling
    // that request are older and ignored.
    std::optional<int> currentGroup_;
    uint32_t groupSequence_ = 0;
    QList<InputSourceRef> sources_;
    bool problemReported_ = false;
    uint8_t xkbMajorOpcode_ = 0;
    // The locked group as last announced or requested, or -1.
    int lockedGroup_ = -1;
    // Announcements with this sequence number come from our own lock request.
    std::optional<uint32_t> ownLockSequence_;
    ForeignLayoutChange foreign_;
    // Per keycode: which kinds of LockGroup action the key has.
    std::array<uint8_t, 256> groupLockActions_{};
};

} // namespace velmora
