#include "support/Files.h"
#include "support/WaitUntil.h"
#include "support/XkbProbe.h"
#include "support/XvfbServer.h"
#include "wayland/Desktops.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>

#include <algorithm>
#include <optional>

#include <csignal>

#include <pwd.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace velmora::test {

namespace {

// Cinnamon runs as velmora-test on a host X server and on a session bus of the
// test's own, which lets root's Velmora in too: the default session bus
// refuses any other user.
class Cinnamon final : public QObject, public Desktop {
    Q_OBJECT

public:
    explicit Cinnamon(bool wayland) : wayland_(wayland) {}
    ~Cinnamon() override {
        QDBusConnection::disconnectFromBus(address_);
        bus_.kill();
        bus_.waitForFinished();
    }

    bool begin() override {
        const passwd* account = getpwnam("velmora-test");
        if (account == nullptr || !QFile::exists(releaseFile(QStringLiteral("/usr/bin/cinnamon"))))
            return fail(QStringLiteral("no velmora-test user or no Cinnamon in ") + root_ +
                        QStringLiteral(" (scripts/bootstrap --tests)"));
        QFile::setPermissions(home_.path(), QFile::permissions(home_.path()) | QFileDevice::ExeOther);
        user_ = home_.filePath(QStringLiteral("cinnamon"));
        QDir().mkpath(user_ + QStringLiteral("/run"));
        for (const QString& folder : {user_, user_ + QStringLiteral("/run")})
            if (::chown(QFile::encodeName(folder).constData(), account->pw_uid, account->pw_gid) != 0)
                return fail(QStringLiteral("cannot hand its folders to velmora-test"));
        ids_ = {QStringLiteral("USER_ID=%1").arg(account->pw_uid),
                QStringLiteral("GROUP_ID=%1").arg(account->pw_gid)};
        address_ = "unix:path=" + home_.filePath(QStringLiteral("session-bus"));
        QFile config(home_.filePath(QStringLiteral("bus.conf")));
        if (!config.open(QIODevice::WriteOnly) ||
            !config.write("<busconfig><type>session</type><listen>" + address_.toUtf8() +
                          "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow user=\"*\"/>"
                          "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow "
                          "eavesdrop=\"true\"/><allow own=\"*\"/>"
                          "</policy></busconfig>"))
            return fail(QStringLiteral("cannot write the bus configuration"));
        config.close();
        bus_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        bus_.start(QStringLiteral("dbus-daemon"), {"--nofork", "--config-file=" + config.fileName()});
        // Cinnamon 6.6 loads its own keymap over this one; 6.4 keeps it.
        if (!bus_.waitForStarted() || !xvfb_.start() || !xvfb_.setLayouts(QStringLiteral("ru,us,de")) ||
            !waitUntil([&] { return QFile::exists(home_.filePath(QStringLiteral("session-bus"))); }) ||
            !QDBusConnection::connectToBus(address_, address_).isConnected())
            return fail(QStringLiteral("no dbus-daemon or Xvfb here: ") + xvfb_.error());
        probe_.emplace(xvfb_.display());
        connection().connect("org.Cinnamon", "/org/Cinnamon", "org.Cinnamon", "InputSourcesChanged", this,
                             SLOT(countReload()));
        return restart();
    }

    bool restart() override {
        if (started_ && (wayland_ || !managed_)) {
            // Cinnamon 6.4 leaves the X server to the X11 backend: that one going is what Velmora sees.
            xvfb_.kill();
            return false;
        }
        started_ = true;
        desktop_.setProcessEnvironment(with(
            QStringList{"PATH=/usr/bin:/bin:/usr/sbin:/sbin", "HOME=" + user_, "XDG_CONFIG_HOME=" + user_,
                        "XDG_RUNTIME_DIR=" + user_ + "/run", "DISPLAY=" + xvfb_.display(),
                        "DBUS_SESSION_BUS_ADDRESS=" + address_, "LIBGL_ALWAYS_SOFTWARE=1",
                        "XDG_CURRENT_DESKTOP=X-Cinnamon", "GSETTINGS_BACKEND=keyfile",
                        wayland_ ? "CINNAMON=--wayland --nested --no-x11" : "CINNAMON=--replace",
                        wayland_ ? "XDG_SESSION_TYPE=wayland" : "XDG_SESSION_TYPE=x11"} +
                ids_,
            false));
        desktop_.setStandardErrorFile(home_.filePath(QStringLiteral("log")));
        reloads_ = 0;
        launch({"sh", "-c", QString::fromUtf8(readFile(script("cinnamon-session.sh")))});
        // Up when it answers with its sources (6.6) or refuses the method (6.4).
        waitUntil(
            [&] {
                const int state = cinnamonSource();
                return desktop_.state() == QProcess::NotRunning || state >= 0 || state == ownKeymap;
            },
            30000);
        managed_ = cinnamonSource() != ownKeymap;
        // Cinnamon loads its sources again, selecting the first, once IBus is up.
        waitUntil([&] { return !managed_ || reloads_ >= 2; }, 15000);
        return (desktop_.state() != QProcess::NotRunning && layout() >= 0) ||
               fail(QStringLiteral("Cinnamon did not come up: ") +
                    QString::fromUtf8(readFile(home_.filePath(QStringLiteral("log")))).right(1500));
    }

    QProcessEnvironment environment() const override {
        if (wayland_)
            return with({"DBUS_SESSION_BUS_ADDRESS=" + address_, "XDG_SESSION_TYPE=wayland",
                         "WAYLAND_DISPLAY=" + user_ + "/run/wayland-0", "XDG_CURRENT_DESKTOP=X-Cinnamon"});
        return with({"DBUS_SESSION_BUS_ADDRESS=" + address_, "DISPLAY=" + xvfb_.display(),
                     "XDG_CURRENT_DESKTOP=X-Cinnamon"});
    }

    // Cinnamon's current source, which on X11 the X server's group must agree with.
    int layout() override {
        const int group = wayland_ ? -2 : probe_->currentGroup();
        if (!managed_)
            return group;
        const int current = cinnamonSource();
        return wayland_ || current == group ? std::max(current, -1) : -1;
    }

    // Another client: Cinnamon's applet (6.6), or any program locking the group (6.4).
    bool select(int index) override {
        if (!managed_)
            return probe_->lockGroup(index);
        QDBusMessage call = QDBusMessage::createMethodCall("org.Cinnamon", "/org/Cinnamon", "org.Cinnamon",
                                                           "ActivateInputSourceIndex");
        call.setArguments({index});
        return connection().call(call, QDBus::Block, 5000).type() == QDBusMessage::ReplyMessage;
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
    QDBusConnection connection() const { return QDBusConnection(address_); }

    // The index of Cinnamon's current source, or -1 (none yet), ownKeymap
    // (Cinnamon 6.4, without input sources of its own) or silent.
    static constexpr int ownKeymap = -2, silent = -3;
    int cinnamonSource() {
        const QDBusMessage reply =
            connection().call(QDBusMessage::createMethodCall("org.Cinnamon", "/org/Cinnamon", "org.Cinnamon",
                                                             "GetInputSources"),
                              QDBus::Block, 5000);
        // A Cinnamon still starting answers the same error before its object exists.
        if (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod") &&
            indexReply(connection(), "org.Cinnamon", "/org/Cinnamon", "org.freedesktop.DBus.Properties",
                       "Get", {"org.Cinnamon", "CinnamonVersion"}) >= 0)
            return ownKeymap;
        if (reply.type() != QDBusMessage::ReplyMessage)
            return silent;
        const auto argument = reply.arguments().value(0).value<QDBusArgument>();
        int current = -1;
        argument.beginArray();
        for (int index = 0; !argument.atEnd(); ++index) {
            QString text;
            int number = 0;
            bool isCurrent = false;
            argument.beginStructure();
            argument >> text >> text >> number;
            for (int field = 0; field < 7; ++field)
                argument >> text;
            argument >> number >> isCurrent;
            argument.endStructure();
            current = isCurrent ? index : current;
        }
        argument.endArray();
        return current;
    }

    bool wayland_;
    bool managed_ = false, started_ = false;
    int reloads_ = 0;
    QString user_, address_;
    QStringList ids_;
    QProcess bus_;
    XvfbServer xvfb_;
    std::optional<XkbProbe> probe_;
};

} // namespace

std::unique_ptr<Desktop> makeCinnamon(bool wayland) {
    return std::make_unique<Cinnamon>(wayland);
}

} // namespace velmora::test

#include "CinnamonDesktop.moc"
