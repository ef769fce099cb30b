#include "platform/sway/I3IpcFraming.h"
#include "platform/sway/SwayIpcSocket.h"
#include "support/WaitUntil.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace velmora;

namespace {

// A stream fed to the decoder in reads of a given size: each message comes
// out whole (a malformed body too: it is one bad message), and a broken
// header (wrong magic, impossible length) ends the stream.
TEST(I3IpcDecoderTest, FramingTable) {
    const auto tagged = [](uint32_t type, const QByteArray& body) {
        return QByteArray::number(type) + ':' + body;
    };
    const std::pair<uint32_t, QByteArray> sent[] = {{I3Ipc::inputEvent, R"({"change":"xkb_layout"})"},
                                                    {I3Ipc::runCommand, "{not json"},
                                                    {I3Ipc::getInputs, QByteArray(100000, 'x')}};
    QByteArray stream;
    QList<QByteArray> all;
    for (const auto& [type, body] : sent)
        stream += I3Ipc::encode(type, body), all += tagged(type, body);
    QByteArray hugeLength = I3Ipc::encode(0, {}).replace(6, 4, QByteArray(4, char(0xFF)));
    const struct {
        const char* name;
        QByteArray stream;
        qsizetype readSize;
        QList<QByteArray> messages; // none: the stream failed
    } rows[] = {
        {"all in one read", stream, stream.size(), all},
        {"header split", stream, 5, all},
        {"byte by byte", stream, 1, all},
        {"large reply in pieces", stream, 4096, all},
        {"broken magic", "i3-ipX" + QByteArray(8, '\0') + I3Ipc::encode(0, "{}"), 64, {}},
        {"impossible length", hugeLength + I3Ipc::encode(0, "{}"), 64, {}},
    };
    for (const auto& row : rows) {
        I3IpcDecoder decoder;
        QList<QByteArray> messages;
        for (qsizetype offset = 0; offset < row.stream.size(); offset += row.readSize) {
            decoder.append(row.stream.mid(offset, row.readSize));
            while (std::optional<I3IpcMessage> message = decoder.next())
                messages.append(tagged(message->type, message->payload));
        }
        EXPECT_TRUE(messages == row.messages) << row.name << ": " << messages.size() << " messages";
        EXPECT_EQ(decoder.failed(), row.messages.isEmpty()) << row.name;
    }
    EXPECT_FALSE(I3Ipc::parsePayload("{not json"));
}

// A request waits for its own reply; an event that comes first goes to the
// handler, and a reply far larger than one read arrives whole. The peer is a
// thread, since the request blocks this one.
TEST(SwayIpcSocketTest, RequestWaitsForItsReplyPastEvents) {
    QTemporaryDir folder;
    const QByteArray path = QFile::encodeName(folder.filePath(QStringLiteral("sway.sock")));
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{AF_UNIX, {}};
    std::strncpy(address.sun_path, path.constData(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 1), 0);
    const QByteArray large = "[\"" + QByteArray(1 << 20, 'y') + "\"]";
    const QByteArray answer = I3Ipc::encode(I3Ipc::inputEvent, "{}") + I3Ipc::encode(I3Ipc::getInputs, large);
    std::thread peer([&] {
        const int connection = ::accept(listener, nullptr, nullptr);
        char request[14];
        if (::recv(connection, request, sizeof request, MSG_WAITALL) == sizeof request)
            ::send(connection, answer.constData(), answer.size(), 0); // arrives in many reads
        ::close(connection);
    });
    std::vector<QByteArray> events;
    bool disconnected = false;
    SwayIpcSocket socket([&](const I3IpcMessage& m) { events.push_back(m.payload); },
                         [&] { disconnected = true; });
    ASSERT_TRUE(socket.connectTo(QString::fromLocal8Bit(path), 1000));
    const std::optional<I3IpcMessage> reply = socket.request(I3Ipc::getInputs, {}, 10000);
    EXPECT_TRUE(reply && reply->payload == large);
    EXPECT_EQ(events, std::vector<QByteArray>{"{}"});
    peer.join();
    EXPECT_TRUE(test::waitUntil([&] { return disconnected; }));
    EXPECT_FALSE(socket.request(I3Ipc::getInputs, {}, 100));
    ::close(listener);
}

} // namespace
