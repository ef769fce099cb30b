#pragma once

#include "platform/TextInputSources.h"

#include <QByteArray>

#include <memory>

struct xkb_context;

namespace velmora {

class X11Connection;

// The groups of the display's XKB keymap as input sources, in group order.
// Identifier: the group's "layout" or "layout(variant)" from the keymap's
// symbols name; display name: the group name; handle: the group index. The
// current source is the effective group; selecting a source locks its group.
// Every call first syncs with the server and drops what it knows about the
// keymap when the server reports a new one, so a layout the user adds is seen
// at the next call.
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
    // One round trip that also reads the effective group; then the keymap is
    // read again if the server announced a change.
    bool synchronize();
    void drainEvents();
    bool readKeymap();
    // The group a source stands for now, or -1.
    int groupOf(const InputSource& source) const;
    void reportProblem(const QString& problem);

    QByteArray displayName_;
    std::unique_ptr<X11Connection> connection_;
    xkb_context* context_ = nullptr;
    int32_t deviceId_ = -1;
    bool keymapStale_ = true;
    int currentGroup_ = -1;
    QList<InputSourceRef> sources_;
    bool problemReported_ = false;
};

} // namespace velmora
