#include "wayland/DesktopSupport.h"

#include "support/WaitUntil.h"
#include "support/XkbProbe.h"

#include <optional>

#include <csignal>

namespace velmora::test {

namespace {

// Cinnamon as velmora-test on the Xvfb and bus of cinnamon-host.sh. 6.6 has
// input sources of its own; 6.4 leaves the X server's group to any client.
class Cinnamon final : public Desktop {
public:
    explicit Cinnamon(bool wayland) : wayland_(wayland) {}
    ~Cinnamon() override { stopHost(); }

    bool begin() override {
        host_.start("setsid", {"sh", script("cinnamon-host.sh"), home_.path(), layouts_, options_});
        if (!waitUntil([&] { return host_.state() == QProcess::NotRunning || !file("display").isEmpty(); }))
            return fail("no Xvfb or bus: " + host_.readAllStandardError());
        probe_.emplace(file("display").toUtf8());
        return restart();
    }

    // 6.6 comes back, as after a restart from its menu; with 6.4 and on
    // Wayland the X server ends instead, and Velmora with it.
    bool restart() override {
        if (!mode_.isEmpty() && (wayland_ || mode_ != "sources"))
            return stopHost(), false;
        QFile::remove(home_.filePath("cinnamon/ready"));
        mode_.clear();
        desktop_.setProcessEnvironment(with(
            {"PATH=/usr/bin:/bin:/usr/sbin:/sbin", "SHARED=" + home_.path(),
             wayland_ ? "CINNAMON=--wayland --nested --no-x11" : "CINNAMON=--replace",
             "SOURCES=[('xkb', '" + QString::fromLatin1(layouts_).replace(",", "'), ('xkb', '") + "')]",
             options_.isEmpty() ? "XKB_OPTIONS=[]" : "XKB_OPTIONS=['" + QString::fromLatin1(options_) + "']",
             perWindow()},
            false));
        desktop_.setStandardErrorFile(home_.filePath("log"));
        launch({"sh", "-c", readText(script("cinnamon-session.sh"))});
        waitUntil(
            [&] {
                return desktop_.state() == QProcess::NotRunning ||
                       !(mode_ = file("cinnamon/ready")).isEmpty();
            },
            30000);
        return layout() >= 0 || fail("Cinnamon did not come up: " + file("log").right(1500));
    }

    QProcessEnvironment environment() const override {
        return with({"DBUS_SESSION_BUS_ADDRESS=unix:path=" + home_.filePath("session-bus"),
                     "XDG_CURRENT_DESKTOP=X-Cinnamon",
                     wayland_ ? "WAYLAND_DISPLAY=" + home_.filePath("cinnamon/run/wayland-0")
                              : "DISPLAY=" + file("display"),
                     wayland_ ? "XDG_SESSION_TYPE=wayland" : "XDG_SESSION_TYPE=x11",
                     // Cinnamon's settings, which its clients read with its release's schemas
                     "GSETTINGS_BACKEND=keyfile", "XDG_CONFIG_HOME=" + home_.filePath("cinnamon"),
                     "GSETTINGS_SCHEMA_DIR=" + releaseFile("/usr/share/glib-2.0/schemas")});
    }

    // Cinnamon's current source (the entry gdbus prints with "true" last),
    // which the X server's group must agree with on X11.
    int layout() override {
        const int group = wayland_ ? -1 : probe_->currentGroup();
        const QString sources = mode_ == "sources" ? cinnamon("GetInputSources") : QString();
        const int source = mode_ != "sources" ? group
                           : !sources.contains(", true)")
                               ? -1
                               : int(sources.left(sources.indexOf(", true)")).count("), ("));
        return wayland_ || source == group ? source : -1;
    }

    // Another client: Cinnamon's applet (6.6), or any program locking the group (6.4).
    bool select(int index) override {
        return mode_ == "sources" ? cinnamon("ActivateInputSourceIndex", {QString::number(index)}) == "()"
                                  : probe_->lockGroup(index);
    }

    bool typeKey(int code, bool down) override {
        if (!wayland_)
            down ? probe_->press(uint8_t(code + 8)) : probe_->release(uint8_t(code + 8));
        return !wayland_ && probe_->sync();
    }

private:
    QString file(const char* name) const { return readText(home_.filePath(name)); }
    QString cinnamon(const QString& method, const QStringList& arguments = {}) {
        QProcess gdbus;
        gdbus.start("gdbus", QStringList{"call", "--address", "unix:path=" + home_.filePath("session-bus"),
                                         "--dest", "org.Cinnamon", "--object-path", "/org/Cinnamon",
                                         "--method", "org.Cinnamon." + method} +
                                 arguments);
        gdbus.waitForFinished(5000);
        return QString::fromUtf8(gdbus.readAllStandardOutput()).trimmed();
    }
    void stopHost() { // the host script's process group (setsid), Xvfb and the bus in it
        if (host_.processId() > 0)
            ::kill(-pid_t(host_.processId()), SIGKILL);
        host_.waitForFinished();
    }

    bool wayland_;
    QString mode_; // what cinnamon-session.sh found: "sources" or "keymap"
    QProcess host_;
    std::optional<XkbProbe> probe_;
};

} // namespace

std::unique_ptr<Desktop> makeCinnamon(bool wayland) {
    return std::make_unique<Cinnamon>(wayland);
}

} // namespace velmora::test
