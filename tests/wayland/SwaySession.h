#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace velmora::test {

// A headless sway of its own, run as the unprivileged test user (sway refuses
// root), with a virtual keyboard holding an "ru,us" keymap with the Alt+Shift
// toggle, and a focused window that prints the keysyms it receives.
class SwaySession {
public:
    static constexpr const char* user = "velmora-test";

    SwaySession();
    ~SwaySession();
    // False, with error() saying why, when sway or its user is missing.
    bool start();
    QString error() const { return error_; }

    // The environment a client of this sway needs (no DISPLAY).
    QProcessEnvironment clientEnvironment() const;
    QString swaySocket() const { return swaySocket_; }
    // The keyboard's layout index as sway reports it, or -1.
    int activeLayout() const;
    // A key of the virtual keyboard, evdev numbering; returns once sway has it.
    // A modifier key first takes in sway's current layout (a round trip).
    bool press(int code, bool down, bool modifier = true);
    // The keysyms the focused window received so far.
    QStringList keysyms();
    void kill();

private:
    bool startClient(QProcess& process, const QString& program, const QString& readyLine);

    QTemporaryDir home_;
    QString runtime_;
    QString waylandDisplay_;
    QString swaySocket_;
    QString error_;
    QProcess sway_;
    QProcess keyboard_;
    QProcess window_;
    QStringList keysyms_;
};

} // namespace velmora::test
