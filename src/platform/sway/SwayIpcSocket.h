#pragma once

#include "platform/sway/I3IpcFraming.h"

#include <QLocalSocket>
#include <QString>

#include <functional>
#include <optional>

namespace velmora {

// One connection to sway's IPC socket. Messages that arrive unasked (events)
// go to the handler, on the main loop or while a request waits.
class SwayIpcSocket {
public:
    using MessageHandler = std::function<void(const I3IpcMessage&)>;

    SwayIpcSocket(MessageHandler onMessage, std::function<void()> onDisconnected);
    bool connectTo(const QString& path, int timeoutMs);
    bool isConnected() const { return socket_.state() == QLocalSocket::ConnectedState && !decoder_.failed(); }
    // Sends the message and waits for the reply of the same type.
    std::optional<I3IpcMessage> request(uint32_t type, const QByteArray& payload, int timeoutMs);
    // Takes in what the socket holds now, without waiting.
    void readPending();

private:
    void readAvailable();

    QLocalSocket socket_;
    I3IpcDecoder decoder_;
    MessageHandler onMessage_;
    std::function<void()> onDisconnected_;
    std::optional<uint32_t> awaitedType_;
    std::optional<I3IpcMessage> reply_;
};

} // namespace velmora
