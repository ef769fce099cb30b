#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

namespace velmora::test {

// A real desktop of its own, headless, with the layouts "ru,us,de" or those given to setKeyboard(). Each
// asks for its layout and selects one as any other client of it does.
class Desktop {
public:
    // "Sway" (as the user velmora-test: sway refuses root), "KWin" (on a private
    // bus), "Gnome" (GNOME Shell and Velmora's extensions, in private namespaces)
    // of this machine; "Cinnamon" (X11) and "CinnamonWayland" (nested) of a root; "Sway/trixie",
    // "Gnome/sid"... run the desktop of that release in its root filesystem (scripts/rootfs), reached through
    // sockets in a folder bound into the root at the same path.
    static std::unique_ptr<Desktop> create(const QString& name);
    // Every desktop of every release the tests run.
    static std::vector<std::string> all();
    virtual ~Desktop() { kill(); }

    // False, with error() saying why, when the desktop cannot start here.
    bool start();
    QString error() const { return error_; }
    // What a client of the desktop needs in its environment.
    virtual QProcessEnvironment environment() const = 0;
    virtual int layout() = 0; // -1 when it does not answer
    virtual bool select(int index) = 0;
    // GNOME only, before start(): the extensions the user's settings turn on,
    // and the versions the module one names instead of its own. start() then
    // waits for the shell only; settle() waits for the extension and IBus.
    virtual void setExtensions(const QStringList&, const QByteArray&) {}
    virtual bool settle() { return true; }
    // A key (an evdev code) typed where the desktop reads the keys from an X server.
    virtual bool typeKey(int, bool) { return false; }
    // The desktop's own settings get a new layout list (sway only).
    virtual bool setLayouts(const QByteArray&) { return false; }
    // Before start(): the layouts and XKB options the desktop starts with.
    void setKeyboard(QByteArray layouts, QByteArray options) { layouts_ = layouts, options_ = options; }
    // Before start(): KWin's SwitchMode in kxkbrc; "Window" is GNOME's and Cinnamon's per-window option too.
    void setSwitchMode(QByteArray mode) { switchMode_ = mode; }
    // A key typed on the desktop's own keyboard, on its current layout (sway only).
    virtual bool type(int, bool) { return false; }
    // A window of the application with this id (its Wayland app_id), which the desktop focuses as it
    // opens; closing the last one opened gives the focus back to the one before.
    virtual bool openWindow(const QString& application);
    void closeWindow() { windows_.pop_back(); } // QProcess ends what it started
    // Ends the desktop as a crash does; restart() brings it back where it can.
    void kill();
    virtual bool restart() { return false; }

    // The root filesystem the desktop runs in; empty on this machine.
    QString root() const { return root_; }

protected:
    virtual bool begin() = 0;
    bool fail(const QString& why);
    // Starts the desktop's command in its release, in private mount and process
    // namespaces when asked (always in a root filesystem).
    void launch(const QStringList& command, bool privateNamespaces = false);
    // GNOME's and Cinnamon's option, for their session scripts.
    QString perWindow() const { return switchMode_ == "Window" ? "PER_WINDOW=true" : "PER_WINDOW=false"; }
    // A file of the desktop's release.
    QString releaseFile(const QString& path) const { return root_ + path; }

    QString root_;
    QByteArray layouts_ = "ru,us,de", options_, switchMode_ = "Global";

    QTemporaryDir home_;
    QString error_;
    QProcess desktop_;
    std::vector<std::unique_ptr<QProcess>> windows_;
};

} // namespace velmora::test
