#pragma once

#include "platform/TextInputSources.h"
#include "platform/sway/XkbLayoutRegistry.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace velmora {

class SwayIpcSocket;
struct I3IpcMessage;

// The layouts of sway's keyboards as input sources, in their order.
// Identifier: "layout" or "layout(variant)" from the layout's name through
// xkeyboard-config's catalogue; display name: the layout's name; handle: its
// index. The current layout is followed through sway's "input" events on one
// connection, so asking for it makes no round trip; selecting runs
// "input type:keyboard xkb_switch_layout <index>" on a second connection.
//
// sway's events do not say how a layout changed. Every change that is not
// Velmora's own is taken as a relative step, as sway's own toggles are.
class SwayTextInputSources final : public TextInputSources {
public:
    static constexpr int32_t notConnected = -1;
    static constexpr int32_t noSuchSource = -2;
    static constexpr int32_t requestFailed = -3;
    static constexpr int replyTimeoutMs = 500;

    // onConnectionLost is called once, on the main loop, when sway goes away
    // after a connection was made; without it a line says so. The
    // connections are made at first use.
    SwayTextInputSources(QString socketPath, std::function<void()> onConnectionLost,
                         XkbLayoutRegistry registry = XkbLayoutRegistry::load());
    ~SwayTextInputSources() override;

    InputSourceRef copyCurrentKeyboardInputSource() override;
    std::optional<QList<InputSourceRef>> createInputSourceList() override;
    int32_t selectInputSource(const InputSourceRef& source) override;
    int knownCurrentIndex() const override { return lost_ ? -1 : active_; }

    // sway's reports do not say how a layout changed; its toggles step
    // through the list, so a change this object did not make counts as the
    // steps from where it was.
    ForeignLayoutChange foreignChangeSinceLastSelection() override { return foreign_; }

private:
    bool ensureConnected();
    void handleEvent(const I3IpcMessage& message);
    // Takes a keyboard's layouts from a get_inputs entry or an input event.
    bool applyKeyboard(const QJsonObject& input);
    void handleDisconnect();

    QString socketPath_;
    std::function<void()> onConnectionLost_;
    XkbLayoutRegistry registry_;
    std::unique_ptr<SwayIpcSocket> events_;
    std::unique_ptr<SwayIpcSocket> commands_;
    bool lost_ = false;
    QStringList layoutNames_;
    int active_ = -1;
    QList<InputSourceRef> sources_;
    // The index this object selected and has not yet seen sway report.
    int ownSelection_ = -1;
    ForeignLayoutChange foreign_;
};

} // namespace velmora
