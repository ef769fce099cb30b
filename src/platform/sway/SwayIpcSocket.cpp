#include "platform/sway/SwayIpcSocket.h"

#include <QDeadlineTimer>

#include <utility>

#include <poll.h>

namespace velmora {

SwayIpcSocket::SwayIpcSocket(MessageHandler onMessage, std::function<void()> onDisconnected)
    : onMessage_(std::move(onMessage)), onDisconnected_(std::move(onDisconnected)) {
    QObject::connect(&socket_, &QLocalSocket::readyRead, &socket_, [this] { readAvailable(); });
    QObject::connect(&socket_, &QLocalSocket::disconnected, &socket_, [this] {
        if (onDisconnected_)
            onDisconnected_();
    });
}

bool SwayIpcSocket::connectTo(const QString& path, int timeoutMs) {
    socket_.connectToServer(path);
    return socket_.waitForConnected(timeoutMs);
}

std::optional<I3IpcMessage> SwayIpcSocket::request(uint32_t type, const QByteArray& payload, int timeoutMs) {
    if (!isConnected())
        return std::nullopt;
    socket_.write(I3Ipc::encode(type, payload));
    awaitedType_ = type;
    reply_.reset();
    socket_.flush();
    const QDeadlineTimer deadline(timeoutMs);
    // Each wait hands what it read to readAvailable() through readyRead.
    while (!reply_ && isConnected() && !deadline.hasExpired())
        if (!socket_.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime()))))
            break;
    readAvailable(); // anything the last wait read but did not hand over
    awaitedType_.reset();
    return std::exchange(reply_, std::nullopt);
}

void SwayIpcSocket::readPending() {
    // Asked on every key press: a bare poll answers the usual "nothing new"
    // for less than Qt's wait does.
    pollfd descriptor{int(socket_.socketDescriptor()), POLLIN, 0};
    if (socket_.state() == QLocalSocket::ConnectedState && ::poll(&descriptor, 1, 0) > 0)
        socket_.waitForReadyRead(0);
    if (socket_.bytesAvailable() > 0)
        readAvailable();
}

void SwayIpcSocket::readAvailable() {
    decoder_.append(socket_.readAll());
    while (std::optional<I3IpcMessage> message = decoder_.next()) {
        if (awaitedType_ && message->type == *awaitedType_ && !reply_)
            reply_ = std::move(message);
        else if (onMessage_)
            onMessage_(*message);
    }
    // A stream that lost its framing cannot be trusted again.
    if (decoder_.failed() && socket_.state() != QLocalSocket::UnconnectedState)
        socket_.abort();
}

} // namespace velmora
