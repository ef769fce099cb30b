#pragma once

#include <QByteArray>

#include <atomic>
#include <thread>

namespace velmora::test {

// A scripted X server that speaks just enough of the protocol for a client to
// connect and ask which extensions there are: what no real server can be made
// to do, a display without XKB or with an XInput older than 2.2. Every other
// request is answered with an error, so no client waits for ever.
class FakeXServer {
public:
    struct Extensions {
        bool xkb = true;
        bool xinput = true;
        int xinputMinorVersion = 2; // of XInput 2.x
    };

    explicit FakeXServer(Extensions extensions);
    ~FakeXServer();
    FakeXServer(const FakeXServer&) = delete;
    FakeXServer& operator=(const FakeXServer&) = delete;

    // ":N" once listening, else empty.
    const QByteArray& display() const { return display_; }

private:
    void serve();
    bool answer(int client, unsigned short& sequence);

    Extensions extensions_;
    int listener_ = -1;
    int wakeUp_[2] = {-1, -1};
    QByteArray display_;
    std::thread thread_;
};

} // namespace velmora::test
