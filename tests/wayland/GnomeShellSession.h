#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

namespace velmora::test {

// A headless GNOME Shell of its own, as root, in private mount and process
// namespaces where it sees no systemd and a system bus of its own. Input
// sources "ru" then "us"; Velmora's extension from the build folder is
// installed under a temporary XDG_DATA_HOME and enabled before the shell
// starts. Keys reach the shell through Mutter's remote desktop, whose session
// lives only as long as the connection that created it: this object holds
// both.
class GnomeShellSession {
public:
    GnomeShellSession();
    ~GnomeShellSession();
    // False, with error() saying why, when the shell cannot start here.
    bool start();
    QString error() const { return error_; }

    // The session bus of this shell.
    QDBusConnection bus() const { return bus_; }
    // The environment of a client of this session: its bus, Wayland and runtime folder.
    QProcessEnvironment clientEnvironment() const;
    // The current source's index as the extension reports it, or -1.
    int currentSource();
    // A gsettings key of the session, as gsettings prints it.
    QString setting(const QString& schema, const QString& key) const;
    // An org.gnome.Shell.Extensions method on the extension's uuid
    // ("EnableExtension", "DisableExtension", "UninstallExtension").
    bool extensionsCall(const QString& method);
    // A key through Mutter's remote desktop, evdev numbering.
    bool press(int code, bool down);
    // Ends the shell; returns once it is gone.
    void stop();

private:
    QTemporaryDir home_;
    QString runtime_;
    QString error_;
    QProcess shell_;
    QDBusConnection bus_;
    QString remoteSession_;
};

} // namespace velmora::test
