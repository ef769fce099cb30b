#pragma once

#include <QByteArray>
#include <QJsonDocument>

#include <cstdint>
#include <optional>

namespace velmora {

// sway's IPC messages (man sway-ipc): "i3-ipc", the payload length and the
// message type as 32-bit integers in the machine's order, then a JSON payload.
namespace I3Ipc {
inline constexpr uint32_t runCommand = 0;
inline constexpr uint32_t subscribe = 2;
inline constexpr uint32_t getTree = 4;
inline constexpr uint32_t getInputs = 100;
// Events carry the high bit; "workspace" is event 0, "window" 3, "input" 21.
inline constexpr uint32_t eventBit = 0x80000000u;
inline constexpr uint32_t workspaceEvent = eventBit | 0;
inline constexpr uint32_t windowEvent = eventBit | 3;
inline constexpr uint32_t inputEvent = eventBit | 21;

QByteArray encode(uint32_t type, const QByteArray& payload);
// The payload as JSON, or nothing when it is not a JSON object or array.
std::optional<QJsonDocument> parsePayload(const QByteArray& payload);
} // namespace I3Ipc

struct I3IpcMessage {
    uint32_t type = 0;
    QByteArray payload;
};

// Cuts a byte stream into messages, whatever pieces it arrives in.
class I3IpcDecoder {
public:
    void append(const QByteArray& bytes) { buffer_.append(bytes); }
    // The next whole message, or nothing until more bytes arrive. After a
    // broken header the stream cannot be resynchronised: failed() holds and
    // nothing more is returned.
    std::optional<I3IpcMessage> next();
    bool failed() const { return failed_; }

private:
    QByteArray buffer_;
    bool failed_ = false;
};

} // namespace velmora
