#pragma once

#include <QByteArray>
#include <QString>

#include <sys/types.h>

namespace velmora::test {

// A private Xvfb for one test: started on a free display that the server picks
// itself (-displayfd), with -noreset so that the keymap a test loads survives
// the moments when no client is connected. Killed when the object goes.
class XvfbServer {
public:
    XvfbServer() = default;
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // False, with the reason in error(), when Xvfb cannot be started.
    bool start();
    // ":N"
    const QByteArray& display() const { return display_; }
    const QString& error() const { return error_; }
    bool isRunning() const { return pid_ > 0; }

    // Loads the layouts with setxkbmap, e.g. ("ru,us") or ("ru,us", ",intl").
    bool setLayouts(const QString& layouts, const QString& variants = {}, const QString& options = {});

    // Ends the server the way a crash does, and waits for it to be gone.
    void kill();
    // Ends the server politely and waits for it.
    void stop();

private:
    void endWith(int signalNumber);

    pid_t pid_ = -1;
    QByteArray display_;
    QString error_;
};

} // namespace velmora::test
