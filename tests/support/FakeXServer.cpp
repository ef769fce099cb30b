#include "support/FakeXServer.h"

#include <QList>

#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace velmora::test {

namespace {

constexpr uint8_t xkbOpcode = 135;
constexpr uint8_t xkbFirstEvent = 85;
constexpr uint8_t xinputOpcode = 131;
constexpr uint8_t queryExtension = 98;
constexpr uint8_t getInputFocus = 43;
constexpr uint8_t xkbUseExtension = 0;
constexpr uint8_t xiQueryVersion = 47;

bool readFully(int fd, void* buffer, size_t size) {
    auto* bytes = static_cast<uint8_t*>(buffer);
    while (size > 0) {
        const ssize_t count = ::read(fd, bytes, size);
        if (count <= 0)
            return false;
        bytes += count;
        size -= static_cast<size_t>(count);
    }
    return true;
}

bool writeFully(int fd, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (count <= 0)
            return false;
        done += static_cast<size_t>(count);
    }
    return true;
}

// Little-endian writers for a client that said 'l'.
void put16(std::vector<uint8_t>& out, size_t at, uint16_t value) {
    out[at] = value & 0xff;
    out[at + 1] = value >> 8;
}
void put32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = (value >> (8 * i)) & 0xff;
}

size_t padded(size_t length) { return (length + 3) & ~size_t{3}; }

std::vector<uint8_t> setupReply() {
    // 8-byte header, 32 bytes of fixed data, a 4-byte vendor, one pixmap
    // format, one screen with one depth of one visual.
    std::vector<uint8_t> out(8 + 32 + 4 + 8 + 40 + 8 + 24, 0);
    out[0] = 1; // success
    put16(out, 2, 11);
    put16(out, 6, static_cast<uint16_t>((out.size() - 8) / 4));
    size_t at = 8;
    put32(out, at + 4, 0x00200000); // resource id base
    put32(out, at + 8, 0x001fffff); // resource id mask
    put16(out, at + 16, 4);         // vendor length
    put16(out, at + 18, 0xffff);    // maximum request length
    out[at + 20] = 1;               // screens
    out[at + 21] = 1;               // pixmap formats
    out[at + 24] = 32;              // bitmap scanline unit
    out[at + 25] = 32;              // bitmap scanline pad
    out[at + 26] = 8;               // min keycode
    out[at + 27] = 255;             // max keycode
    at += 32;
    std::memcpy(&out[at], "Fake", 4);
    at += 4;
    out[at] = 24;     // depth
    out[at + 1] = 32; // bits per pixel
    out[at + 2] = 32; // scanline pad
    at += 8;
    put32(out, at, 0x100);      // root window
    put32(out, at + 4, 0x20);   // default colormap
    put32(out, at + 8, 0xffffff);
    put16(out, at + 20, 640);
    put16(out, at + 22, 480);
    put16(out, at + 24, 170);
    put16(out, at + 26, 130);
    put16(out, at + 28, 1);
    put16(out, at + 30, 1);
    put32(out, at + 32, 0x21);  // root visual
    out[at + 38] = 24;          // root depth
    out[at + 39] = 1;           // depths
    at += 40;
    out[at] = 24;
    put16(out, at + 2, 1);      // visuals
    at += 8;
    put32(out, at, 0x21);
    out[at + 4] = 4;            // TrueColor
    out[at + 5] = 8;
    put16(out, at + 6, 256);
    put32(out, at + 8, 0xff0000);
    put32(out, at + 12, 0x00ff00);
    put32(out, at + 16, 0x0000ff);
    return out;
}

std::vector<uint8_t> reply(uint16_t sequence) {
    std::vector<uint8_t> out(32, 0);
    out[0] = 1;
    put16(out, 2, sequence);
    return out;
}

} // namespace

FakeXServer::FakeXServer(Extensions extensions) : extensions_(extensions) {
    listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0 || ::pipe(wakeUp_) != 0)
        return;
    // An abstract socket under the name XCB looks for first; a high display
    // number keeps clear of real servers.
    for (int number = 600; number < 1000 && display_.isEmpty(); ++number) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray path = "/tmp/.X11-unix/X" + QByteArray::number(number);
        std::memcpy(address.sun_path + 1, path.constData(), path.size());
        const socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + path.size());
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
            ::listen(listener_, 8) == 0)
            display_ = ':' + QByteArray::number(number);
    }
    if (!display_.isEmpty())
        thread_ = std::thread([this] { serve(); });
}

FakeXServer::~FakeXServer() {
    if (thread_.joinable()) {
        const char stop = 0;
        [[maybe_unused]] const ssize_t written = ::write(wakeUp_[1], &stop, 1);
        thread_.join();
    }
    for (int fd : {listener_, wakeUp_[0], wakeUp_[1]})
        if (fd >= 0)
            ::close(fd);
}

void FakeXServer::serve() {
    struct Client {
        int fd;
        unsigned short sequence;
    };
    QList<Client> clients;
    while (true) {
        std::vector<pollfd> watched{{wakeUp_[0], POLLIN, 0}, {listener_, POLLIN, 0}};
        for (const Client& client : clients)
            watched.push_back({client.fd, POLLIN, 0});
        if (::poll(watched.data(), watched.size(), -1) < 0)
            continue;
        if (watched[0].revents != 0)
            break;
        if (watched[1].revents & POLLIN) {
            const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            uint8_t setup[12];
            if (fd >= 0 && readFully(fd, setup, sizeof setup) && setup[0] == 'l') {
                std::vector<uint8_t> authorisation(padded(setup[6] | setup[7] << 8) +
                                                   padded(setup[8] | setup[9] << 8));
                if (readFully(fd, authorisation.data(), authorisation.size()) &&
                    writeFully(fd, setupReply())) {
                    clients.append({fd, 0});
                    continue;
                }
            }
            if (fd >= 0)
                ::close(fd);
        }
        for (size_t i = 2; i < watched.size(); ++i) {
            if (watched[i].revents == 0)
                continue;
            Client& client = clients[static_cast<qsizetype>(i - 2)];
            if (!answer(client.fd, client.sequence)) {
                ::close(client.fd);
                client.fd = -1;
            }
        }
        clients.removeIf([](const Client& client) { return client.fd < 0; });
    }
    for (const Client& client : clients)
        ::close(client.fd);
}

bool FakeXServer::answer(int client, unsigned short& sequence) {
    uint8_t header[4];
    if (!readFully(client, header, sizeof header))
        return false;
    const size_t length = static_cast<size_t>(header[2] | header[3] << 8) * 4;
    if (length < 4)
        return false;
    std::vector<uint8_t> body(length - 4);
    if (!readFully(client, body.data(), body.size()))
        return false;
    ++sequence;

    const uint8_t opcode = header[0];
    const uint8_t minor = header[1];
    std::vector<uint8_t> out = reply(sequence);
    if (opcode == queryExtension && body.size() >= 4) {
        const size_t nameLength = body[0] | body[1] << 8;
        const QByteArray name(reinterpret_cast<const char*>(body.data()) + 4,
                              static_cast<qsizetype>(std::min(nameLength, body.size() - 4)));
        if (name == "XKEYBOARD" && extensions_.xkb) {
            out[8] = 1;
            out[9] = xkbOpcode;
            out[10] = xkbFirstEvent;
        } else if (name == "XInputExtension" && extensions_.xinput) {
            out[8] = 1;
            out[9] = xinputOpcode;
        }
    } else if (opcode == getInputFocus) {
    } else if (opcode == xkbOpcode && minor == xkbUseExtension) {
        out[1] = 1; // supported
        put16(out, 8, 1);
        put16(out, 10, 0);
    } else if (opcode == xinputOpcode && minor == xiQueryVersion) {
        put16(out, 8, 2);
        put16(out, 10, static_cast<uint16_t>(extensions_.xinputMinorVersion));
    } else {
        // BadImplementation for whatever else: a reply-less request ignores
        // it, a request that waits for a reply gets none.
        out.assign(32, 0);
        out[1] = 17;
        put16(out, 2, sequence);
        put16(out, 8, minor);
        out[10] = opcode;
    }
    return writeFully(client, out);
}

} // namespace velmora::test
