#pragma once

#include <QByteArray>
#include <QProcess>
#include <QSize>
#include <QString>

namespace velmora::test {

// A private Xvfb on a display it picks itself (-displayfd); -noreset keeps a loaded keymap without clients.
class XvfbServer {
public:
    ~XvfbServer() { kill(); }
    // False, with the reason in error(), when Xvfb cannot be started.
    bool start(QSize screen = {640, 480});
    // Runs the window manager openbox and waits until it manages windows; false, with error(), if not.
    bool startWindowManager();
    const QByteArray& display() const { return display_; } // ":N"
    const QString& error() const { return error_; }
    // Loads layouts with setxkbmap, e.g. ("ru,us", "grp:alt_shift_toggle"); clears other options.
    bool setLayouts(const QString& layouts, const QString& options = {});
    // Ends the server the way a crash does, and waits for it to be gone.
    void kill();

private:
    QProcess process_;
    QProcess windowManager_;
    QByteArray display_;
    QString error_;
};

} // namespace velmora::test
