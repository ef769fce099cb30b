#include "platform/sway/I3IpcFraming.h"

#include <cstring>

namespace velmora {

namespace {

constexpr char magic[] = "i3-ipc";
constexpr qsizetype magicSize = sizeof magic - 1;
constexpr qsizetype headerSize = magicSize + 2 * sizeof(uint32_t);
// sway's largest replies (get_tree of a busy desktop) stay far below this;
// a larger length means the stream is not what it should be.
constexpr uint32_t maximumPayload = 64u << 20;

uint32_t readWord(const char* bytes) {
    uint32_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

} // namespace

QByteArray I3Ipc::encode(uint32_t type, const QByteArray& payload) {
    QByteArray message(magic, magicSize);
    const uint32_t words[] = {static_cast<uint32_t>(payload.size()), type};
    message.append(reinterpret_cast<const char*>(words), sizeof words);
    message.append(payload);
    return message;
}

std::optional<QJsonDocument> I3Ipc::parsePayload(const QByteArray& payload) {
    QJsonParseError error{};
    QJsonDocument document = QJsonDocument::fromJson(payload, &error);
    if (error.error != QJsonParseError::NoError || document.isNull())
        return std::nullopt;
    return document;
}

std::optional<I3IpcMessage> I3IpcDecoder::next() {
    if (failed_ || buffer_.size() < headerSize)
        return std::nullopt;
    const uint32_t length = readWord(buffer_.constData() + magicSize);
    if (std::memcmp(buffer_.constData(), magic, magicSize) != 0 || length > maximumPayload) {
        failed_ = true;
        buffer_.clear();
        return std::nullopt;
    }
    if (buffer_.size() < headerSize + qsizetype(length))
        return std::nullopt;
    I3IpcMessage message{readWord(buffer_.constData() + magicSize + sizeof(uint32_t)),
                         buffer_.mid(headerSize, length)};
    buffer_.remove(0, headerSize + length);
    return message;
}

} // namespace velmora
