#pragma once

#include "platform/FocusedApplication.h"

#include <QJsonObject>
#include <QString>

#include <memory>

namespace velmora {

class SwayIpcSocket;
struct I3IpcMessage;

// The application of sway's focused window, followed through sway's "window"
// and "workspace" events on a connection of its own, read at start from the
// tree. Identifier: the window's app_id, or for an Xwayland window its class.
class SwayFocusedApplication final : public FocusedApplication {
public:
    explicit SwayFocusedApplication(const QString& socketPath);
    ~SwayFocusedApplication() override;

    bool followsFocus() const override { return connected_; }
    std::optional<QString> identifier() const override { return connected_ ? identifier_ : std::nullopt; }

    // The application a container of sway's tree shows, or nothing for a
    // workspace or an output.
    static std::optional<QString> applicationOf(const QJsonObject& container);
    // The focused container under a node of the tree, or nothing.
    static std::optional<QJsonObject> focusedUnder(const QJsonObject& node);

private:
    void handleEvent(const I3IpcMessage& message);
    void focus(std::optional<QJsonObject> container);

    std::unique_ptr<SwayIpcSocket> socket_;
    bool connected_ = false;
    qint64 focusedId_ = -1;
    std::optional<QString> identifier_;
};

} // namespace velmora
