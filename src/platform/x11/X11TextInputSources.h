#pragma once

#include "platform/TextInputSources.h"

#include <QByteArray>

#include <cstdint>
#include <memory>
#include <optional>

struct xkb_context;

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

private:
    bool ensureConnected();
    // Takes in what the server has announced; reads the keymap and the group
    // afresh when they are not known.
    bool synchronize();
    void drainEvents();
    bool readCurrentGroup();
    bool readKeymap();
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
};

} // namespace velmora
