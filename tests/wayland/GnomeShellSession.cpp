#include "wayland/GnomeShellSession.h"

#include "platform/gnome/GnomeShellBus.h"
#include "support/WaitUntil.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace velmora::test {

namespace {

const QString connectionName = QStringLiteral("velmora-gnome-shell-test");

// Runs as the first process of private mount and process namespaces: the
// mounts vanish with them, and every process the shell started (its system
// bus, IBus) ends with this one, which ends with the unshare that started it.
const char* launcher = R"(set -e
mount -t tmpfs tmpfs /run/systemd
mount -t tmpfs tmpfs /run/dbus
dbus-daemon --system --fork --nopidfile
gsettings set org.gnome.desktop.input-sources sources "[('xkb','ru'),('xkb','us')]"
gsettings set org.gnome.shell enabled-extensions "['$EXTENSION_UUID']"
exec dbus-run-session -- sh -c 'echo "$DBUS_SESSION_BUS_ADDRESS" > bus.address
exec gnome-shell --wayland --no-x11 --headless --virtual-monitor 1280x800'
)";

QString readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

QDBusMessage call(QDBusConnection& bus, const QString& service, const QString& path, const QString& interface,
                  const QString& method, const QVariantList& arguments = {}) {
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    return bus.call(message, QDBus::Block, 5000);
}

} // namespace

GnomeShellSession::GnomeShellSession() : bus_(connectionName) {}

GnomeShellSession::~GnomeShellSession() {
    stop();
    QDBusConnection::disconnectFromBus(connectionName);
}

bool GnomeShellSession::start() {
    runtime_ = home_.filePath(QStringLiteral("runtime"));
    const QString extension = home_.filePath(QStringLiteral("data/gnome-shell/extensions/") +
                                             velmora::GnomeShellBus::extensionUuid);
    QDir().mkpath(runtime_);
    QDir().mkpath(extension);
    QFile::setPermissions(runtime_, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    for (const char* name : {"metadata.json", "extension.js", "velmoraBus.js"})
        QFile::copy(QStringLiteral(VELMORA_GNOME_EXTENSION_DIR "/") + QLatin1String(name),
                    extension + QLatin1Char('/') + QLatin1String(name));
    if (QStandardPaths::findExecutable(QStringLiteral("gnome-shell")).isEmpty()) {
        error_ = QStringLiteral("gnome-shell is not installed (scripts/bootstrap installs it)");
        return false;
    }
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin:/usr/sbin:/sbin"));
    environment.insert(QStringLiteral("HOME"), home_.path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_);
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home_.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home_.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("keyfile"));
    environment.insert(QStringLiteral("EXTENSION_UUID"), velmora::GnomeShellBus::extensionUuid);
    shell_.setProcessEnvironment(environment);
    shell_.setWorkingDirectory(home_.path());
    shell_.setStandardOutputFile(QProcess::nullDevice());
    shell_.setStandardErrorFile(home_.filePath(QStringLiteral("gnome-shell.log")));
    shell_.start(QStringLiteral("unshare"), {QStringLiteral("--mount-proc"), QStringLiteral("--pid"),
                                             QStringLiteral("--kill-child=SIGKILL"), QStringLiteral("sh"),
                                             QStringLiteral("-c"), QString::fromLatin1(launcher)});
    const QString address = home_.filePath(QStringLiteral("bus.address"));
    const bool up = waitUntil(
        [&] {
            if (shell_.state() == QProcess::NotRunning)
                return true; // gave up
            if (!bus_.isConnected() && !readFile(address).isEmpty())
                bus_ = QDBusConnection::connectToBus(readFile(address), connectionName);
            return bus_.isConnected() &&
                   bus_.interface()->isServiceRegistered(velmora::GnomeShellBus::service).value() &&
                   bus_.interface()
                       ->isServiceRegistered(QStringLiteral("org.gnome.Mutter.RemoteDesktop"))
                       .value();
        },
        30000);
    if (!up || shell_.state() == QProcess::NotRunning) {
        error_ =
            QStringLiteral("GNOME Shell did not come up with Velmora's extension (as root, with unshare): ") +
            readFile(home_.filePath(QStringLiteral("gnome-shell.log"))).right(2000);
        return false;
    }
    // The shell reloads its sources once IBus is up, and only then writes the
    // recent-sources order: ready when an activation shows there.
    const bool settled = waitUntil(
        [&] {
            call(bus_, velmora::GnomeShellBus::service, velmora::GnomeShellBus::path,
                 velmora::GnomeShellBus::interface, QStringLiteral("Activate"), {QVariant::fromValue(0u)});
            return setting(QStringLiteral("org.gnome.desktop.input-sources"), QStringLiteral("mru-sources"))
                .startsWith(QLatin1String("[('xkb', 'ru')"));
        },
        30000);
    if (!settled) {
        error_ = QStringLiteral("GNOME Shell never wrote its recent sources (is ibus installed?)");
        return false;
    }
    const QString desktop = QStringLiteral("org.gnome.Mutter.RemoteDesktop");
    const QDBusMessage created = call(bus_, desktop, QStringLiteral("/org/gnome/Mutter/RemoteDesktop"),
                                      desktop, QStringLiteral("CreateSession"));
    remoteSession_ = created.arguments().value(0).value<QDBusObjectPath>().path();
    if (remoteSession_.isEmpty() ||
        call(bus_, desktop, remoteSession_, desktop + QStringLiteral(".Session"), QStringLiteral("Start"))
                .type() != QDBusMessage::ReplyMessage) {
        error_ = QStringLiteral("Mutter's remote desktop session did not start: ") + created.errorMessage();
        return false;
    }
    return true;
}

QProcessEnvironment GnomeShellSession::clientEnvironment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "QT_QPA_PLATFORM", "VELMORA_INPUT_DEVICES", "SWAYSOCK"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                       readFile(home_.filePath(QStringLiteral("bus.address"))));
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("wayland-0"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_);
    environment.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
    environment.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("GNOME"));
    return environment;
}

int GnomeShellSession::currentSource() {
    const QDBusMessage reply = call(bus_, velmora::GnomeShellBus::service, velmora::GnomeShellBus::path,
                                    velmora::GnomeShellBus::interface, QStringLiteral("GetCurrent"));
    return reply.type() == QDBusMessage::ReplyMessage ? int(reply.arguments().value(0).toUInt()) : -1;
}

QString GnomeShellSession::setting(const QString& schema, const QString& key) const {
    QProcess gsettings;
    gsettings.setProcessEnvironment(shell_.processEnvironment());
    gsettings.start(QStringLiteral("gsettings"), {QStringLiteral("get"), schema, key});
    gsettings.waitForFinished(5000);
    return QString::fromUtf8(gsettings.readAllStandardOutput()).trimmed();
}

bool GnomeShellSession::extensionsCall(const QString& method) {
    const QDBusMessage reply =
        call(bus_, QStringLiteral("org.gnome.Shell"), QStringLiteral("/org/gnome/Shell"),
             QStringLiteral("org.gnome.Shell.Extensions"), method, {velmora::GnomeShellBus::extensionUuid});
    return reply.arguments().value(0).toBool();
}

bool GnomeShellSession::press(int code, bool down) {
    const QString desktop = QStringLiteral("org.gnome.Mutter.RemoteDesktop.Session");
    return call(bus_, QStringLiteral("org.gnome.Mutter.RemoteDesktop"), remoteSession_, desktop,
                QStringLiteral("NotifyKeyboardKeycode"), {QVariant::fromValue(uint(code)), down})
               .type() == QDBusMessage::ReplyMessage;
}

void GnomeShellSession::stop() {
    if (shell_.state() == QProcess::NotRunning)
        return;
    shell_.kill();
    shell_.waitForFinished(5000);
}

} // namespace velmora::test
