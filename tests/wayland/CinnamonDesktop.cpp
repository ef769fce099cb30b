#include "support/Files.h"
#include "support/WaitUntil.h"
#include "support/XkbProbe.h"
#include "wayland/Desktops.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QRegularExpression>

#include <optional>

#include <csignal>

namespace velmora::test {

namespace {

QString text(const QString& path) {
    return QString::fromUtf8(readFile(path)).trimmed();
}

// Cinnamon as velmora-test on the X server and bus of cinnamon-host.sh. It
// has input sources of its own from 6.6 on; 6.4 leaves the X server's group
// to any client, so there the group is its layout.
class Cinnamon final : public QObject, public Desktop {
    Q_OBJECT

public:
    explicit Cinnamon(bool wayland) : wayland_(wayland) {}
    ~Cinnamon() override {
        QDBusConnection::disconnectFromBus(home_.path());
        stopHost();
    }

    bool begin() override {
        host_.start("setsid", {"sh", script("cinnamon-host.sh"), home_.path()});
        if (!waitUntil([&] { return host_.state() == QProcess::NotRunning || !display().isEmpty(); },
                       20000) ||
            !bus().isConnected() || !QFile::exists(releaseFile(QStringLiteral("/usr/bin/cinnamon"))))
            return fail("no Cinnamon in the root, or no Xvfb and bus here: " + host_.readAllStandardError());
        probe_.emplace(display().toUtf8());
        bus().connect("org.Cinnamon", "/org/Cinnamon", "org.Cinnamon", "InputSourcesChanged", this,
                      SLOT(countReload()));
        return restart();
    }

    // Cinnamon 6.6 comes back (as after a restart from its menu); with 6.4
    // and on Wayland the X server ends instead, which ends Velmora.
    bool restart() override {
        if (reloads_ >= 0 && (wayland_ || !managed_)) {
            stopHost();
            return false;
        }
        reloads_ = 0;
        desktop_.setProcessEnvironment(
            with({"PATH=/usr/bin:/bin:/usr/sbin:/sbin", "SHARED=" + home_.path(),
                  wayland_ ? "CINNAMON=--wayland --nested --no-x11" : "CINNAMON=--replace"},
                 false));
        desktop_.setStandardErrorFile(home_.filePath(QStringLiteral("log")));
        launch({"sh", "-c", text(script("cinnamon-session.sh"))});
        // Up when it answers with its sources (6.6: once it has loaded them again
        // with IBus up, selecting the first) or knows no such method (6.4).
        const bool up = waitUntil(
            [&] {
                const int source = current();
                managed_ = source != ownKeymap;
                return desktop_.state() == QProcess::NotRunning || (source >= 0 && reloads_ >= 2) ||
                       !managed_;
            },
            30000);
        return (up && layout() >= 0) ||
               fail("Cinnamon did not come up: " + text(home_.filePath("log")).right(1500));
    }

    QProcessEnvironment environment() const override {
        return with({"DBUS_SESSION_BUS_ADDRESS=unix:path=" + home_.filePath("session-bus"),
                     "XDG_CURRENT_DESKTOP=X-Cinnamon",
                     wayland_ ? "WAYLAND_DISPLAY=" + home_.filePath("cinnamon/run/wayland-0")
                              : "DISPLAY=" + display(),
                     wayland_ ? "XDG_SESSION_TYPE=wayland" : "XDG_SESSION_TYPE=x11"});
    }

    // Cinnamon's current source, which the X server's group must agree with on X11.
    int layout() override {
        const int group = wayland_ ? -1 : probe_->currentGroup();
        if (!managed_)
            return group;
        const int source = current();
        return wayland_ || source == group ? source : -1;
    }

    // Another client: Cinnamon's applet (6.6), or any program locking the group (6.4).
    bool select(int index) override {
        if (!managed_)
            return probe_->lockGroup(index);
        QDBusMessage call = QDBusMessage::createMethodCall("org.Cinnamon", "/org/Cinnamon", "org.Cinnamon",
                                                           "ActivateInputSourceIndex");
        call.setArguments({index});
        return bus().call(call, QDBus::Block, 5000).type() == QDBusMessage::ReplyMessage;
    }

    bool typeKey(int code, bool down) override {
        if (wayland_)
            return false;
        down ? probe_->press(uint8_t(code + 8)) : probe_->release(uint8_t(code + 8));
        return probe_->sync();
    }

private Q_SLOTS:
    void countReload() { ++reloads_; }

private:
    // The host script leads its own process group (setsid), Xvfb and the bus in it.
    void stopHost() {
        if (host_.processId() > 0)
            ::kill(-pid_t(host_.processId()), SIGKILL);
        host_.waitForFinished();
    }
    QString display() const { return text(home_.filePath(QStringLiteral("display"))); }
    QDBusConnection bus() const {
        return QDBusConnection::connectToBus("unix:path=" + home_.filePath("session-bus"), home_.path());
    }
    // The position of the source GetInputSources marks current, -1, or
    // ownKeymap for a Cinnamon without the method; its fields (type, id,
    // index, names..., duplicate number, current) as gdbus prints them.
    static constexpr int ownKeymap = -2;
    int current() {
        QProcess gdbus;
        gdbus.start("gdbus", {"call", "--address", "unix:path=" + home_.filePath("session-bus"), "--dest",
                              "org.Cinnamon", "--object-path", "/org/Cinnamon", "--method",
                              "org.Cinnamon.GetInputSources"});
        gdbus.waitForFinished(5000);
        if (gdbus.readAllStandardError().contains("No such method"))
            return ownKeymap;
        const QStringList sources =
            QString::fromUtf8(gdbus.readAllStandardOutput()).split(QStringLiteral("), ("));
        for (qsizetype index = 0; index < sources.size(); ++index)
            if (sources[index].contains(QRegularExpression(QStringLiteral(", true\\)?]?,?\\)?$"))))
                return int(index);
        return -1;
    }

    bool wayland_;
    bool managed_ = false;
    int reloads_ = -1; // Cinnamon's InputSourcesChanged since its start; -1 before the first
    QProcess host_;
    std::optional<XkbProbe> probe_;
};

} // namespace

std::unique_ptr<Desktop> makeCinnamon(bool wayland) {
    return std::make_unique<Cinnamon>(wayland);
}

} // namespace velmora::test

#include "CinnamonDesktop.moc"
