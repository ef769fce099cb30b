#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace velmora::test {

// A headless KWin of its own on a private session bus, with the layouts of a
// private kxkbrc ("ru,us" to begin with), a keyboard through KWin's fake
// input and a focused window that prints the keysyms it receives. KWin runs from a copy of its binary:
// the installed one carries file capabilities that a container may refuse.
class KWinSession {
public:
    KWinSession();
    ~KWinSession();
    // Starts the bus and KWin; false, with error() saying why, when either
    // cannot start.
    bool start();
    QString error() const { return error_; }

    // The environment of a client of this session: its bus, its config
    // folder (kxkbrc) and its Wayland socket.
    QProcessEnvironment clientEnvironment() const;
    QString configHome() const;
    QString busAddress() const { return busAddress_; }
    // A connection of its own to the session's bus, for another client's calls.
    QDBusConnection bus() const;

    // KWin's current layout as another client asks for it, or -1.
    int activeLayout() const;
    // Another client selecting a layout, as a layout applet does.
    bool selectLayout(int index) const;
    // Rewrites kxkbrc's [Layout] group and tells KWin to read it again.
    void writeLayouts(const QByteArray& layoutGroup);

    // A key through KWin's fake input, evdev numbering; returns once KWin has it.
    bool press(int code, bool down);
    // The keysyms the focused window received so far.
    QStringList keysyms();

    bool startKWin();
    void killKWin();

private:
    bool startClient(QProcess& process, const QString& program);

    QTemporaryDir home_;
    QString busAddress_;
    QString error_;
    QProcess bus_;
    QProcess kwin_;
    QProcess keyboard_;
    QProcess window_;
    QStringList keysyms_;
};

} // namespace velmora::test
