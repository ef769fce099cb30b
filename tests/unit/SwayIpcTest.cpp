#include "platform/sway/I3IpcFraming.h"
#include "platform/sway/SwayIpcSocket.h"
#include "platform/sway/XkbLayoutRegistry.h"
#include "support/WaitUntil.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace velmora;

namespace {

// How a stream of messages is cut into reads.
struct FramingCase {
    const char* name;
    std::vector<int> cuts; // read sizes; the rest comes in one last read
};

class I3IpcDecoderTest : public ::testing::TestWithParam<FramingCase> {};

TEST_P(I3IpcDecoderTest, YieldsEachMessageWhole) {
    const QByteArray large(100000, 'x');
    const QByteArray stream = I3Ipc::encode(I3Ipc::inputEvent, R"({"change":"xkb_layout"})") +
                              I3Ipc::encode(I3Ipc::runCommand, R"([{"success":true}])") +
                              I3Ipc::encode(I3Ipc::getInputs, "\"" + large + "\"");
    I3IpcDecoder decoder;
    std::vector<I3IpcMessage> messages;
    qsizetype offset = 0;
    auto feed = [&](qsizetype size) {
        decoder.append(stream.mid(offset, size));
        offset += size;
        while (std::optional<I3IpcMessage> message = decoder.next())
            messages.push_back(*message);
    };
    for (int cut : GetParam().cuts)
        feed(cut);
    feed(stream.size() - offset);
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].type, I3Ipc::inputEvent);
    EXPECT_EQ(I3Ipc::parsePayload(messages[1].payload)->array().first()["success"].toBool(), true);
    EXPECT_EQ(messages[2].type, I3Ipc::getInputs);
    EXPECT_EQ(I3Ipc::parsePayload("[" + messages[2].payload + "]")->array().first().toString().size(),
              large.size());
    EXPECT_FALSE(decoder.failed());
}

INSTANTIATE_TEST_SUITE_P(
    Reads, I3IpcDecoderTest,
    ::testing::Values(FramingCase{"AllInOneRead", {}}, FramingCase{"HeaderSplit", {3, 7, 4}},
                      FramingCase{"OneByteAtATimeAtFirst", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
                      FramingCase{"LargeReplyInPieces", {100, 4096, 4096, 65536}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(I3IpcDecoderTest, MalformedBodyIsOneBadMessageButABrokenHeaderEndsTheStream) {
    I3IpcDecoder decoder;
    decoder.append(I3Ipc::encode(I3Ipc::inputEvent, "{not json") + I3Ipc::encode(I3Ipc::inputEvent, "{}"));
    EXPECT_FALSE(I3Ipc::parsePayload(decoder.next()->payload));
    EXPECT_TRUE(I3Ipc::parsePayload(decoder.next()->payload));
    decoder.append("i3-ipX" + QByteArray(8, '\0') + I3Ipc::encode(I3Ipc::inputEvent, "{}"));
    EXPECT_FALSE(decoder.next());
    EXPECT_TRUE(decoder.failed());
    QByteArray huge = I3Ipc::encode(0, {});
    huge[6] = huge[7] = huge[8] = huge[9] = char(0xFF);
    I3IpcDecoder second;
    second.append(huge);
    EXPECT_FALSE(second.next());
    EXPECT_TRUE(second.failed());
}

// A request waits for its own reply; an event that comes first goes to the
// handler, and a reply far larger than one read arrives whole. The peer is a
// thread, since the request blocks this one.
TEST(SwayIpcSocketTest, RequestWaitsForItsReplyPastEvents) {
    QTemporaryDir folder;
    const QByteArray path = QFile::encodeName(folder.filePath(QStringLiteral("sway.sock")));
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.constData(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 1), 0);
    const QByteArray large = "[\"" + QByteArray(1 << 20, 'y') + "\"]";
    std::thread peer([&] {
        const int connection = ::accept(listener, nullptr, nullptr);
        char header[14];
        if (::recv(connection, header, sizeof header, MSG_WAITALL) == sizeof header) {
            const QByteArray answer =
                I3Ipc::encode(I3Ipc::inputEvent, "{}") + I3Ipc::encode(I3Ipc::getInputs, large);
            for (qsizetype offset = 0; offset < answer.size(); offset += 1000)
                ::send(connection, answer.constData() + offset, qMin<qsizetype>(1000, answer.size() - offset),
                       0);
        }
        ::close(connection);
    });
    std::vector<QByteArray> events;
    bool disconnected = false;
    {
        SwayIpcSocket socket([&](const I3IpcMessage& m) { events.push_back(m.payload); },
                             [&] { disconnected = true; });
        ASSERT_TRUE(socket.connectTo(QString::fromLocal8Bit(path), 1000));
        const std::optional<I3IpcMessage> reply = socket.request(I3Ipc::getInputs, {}, 10000);
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->payload, large);
        EXPECT_EQ(events, std::vector<QByteArray>{"{}"});
        peer.join();
        EXPECT_TRUE(test::waitUntil([&] { return disconnected; }));
        EXPECT_FALSE(socket.request(I3Ipc::getInputs, {}, 100));
    }
    ::close(listener);
}

TEST(XkbLayoutRegistryTest, InstalledCatalogueNamesLayoutsAndVariants) {
    const XkbLayoutRegistry registry = XkbLayoutRegistry::load();
    ASSERT_GT(registry.size(), 100) << "xkeyboard-config's rules/evdev.xml is missing";
    EXPECT_EQ(registry.identifierFor(QStringLiteral("English (US)")), QStringLiteral("us"));
    EXPECT_EQ(registry.identifierFor(QStringLiteral("Russian")), QStringLiteral("ru"));
    EXPECT_EQ(registry.identifierFor(QStringLiteral("English (US, intl., with dead keys)")),
              QStringLiteral("us(intl)"));
    EXPECT_EQ(registry.identifierFor(QStringLiteral("Generic 105-key PC")), std::nullopt)
        << "a model is no layout";
    EXPECT_EQ(XkbLayoutRegistry::load(QStringLiteral("/nonexistent.xml")).size(), 0);
}

} // namespace
