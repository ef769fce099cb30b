#include "wayland/Desktops.h"
#include "wayland/DesktopSupport.h"

#include "platform/gnome/GnomeShellBus.h"
#include "platform/sway/SwayIpcSocket.h"
#include "support/Files.h"
#include "support/WaitUntil.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDir>
#include <QJsonArray>
#include <QRegularExpression>

#include <algorithm>
#include <csignal>
#include <optional>

#include <pwd.h>
#include <unistd.h>

namespace velmora::test {

QString readText(const QString& path) {
    return QString::fromUtf8(test::readFile(path)).trimmed();
}

QProcessEnvironment with(const QStringList& variables, bool inherit) {
    QProcessEnvironment environment =
        inherit ? QProcessEnvironment::systemEnvironment() : QProcessEnvironment();
    for (const char* name :
         {"DISPLAY", "WAYLAND_DISPLAY", "SWAYSOCK", "QT_QPA_PLATFORM", "VELMORA_INPUT_DEVICES"})
        environment.remove(QString::fromLatin1(name));
    for (const QString& variable : variables)
        environment.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
    return environment;
}

int indexReply(QDBusConnection bus, const QString& service, const QString& path, const QString& interface,
               const QString& method, const QVariantList& arguments) {
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    const QDBusMessage reply = bus.call(message, QDBus::Block, 5000);
    return reply.type() == QDBusMessage::ReplyMessage ? int(reply.arguments().value(0).toUInt()) : -1;
}

QString script(const char* name) {
    return QStringLiteral(VELMORA_WAYLAND_SCRIPTS "/") + QLatin1String(name);
}

namespace {

class Sway final : public Desktop {
public:
    bool begin() override {
        const passwd* account = getpwnam("velmora-test");
        if (account == nullptr)
            return fail(QStringLiteral("no user velmora-test (scripts/bootstrap creates it)"));
        // The test user reaches its runtime folder through the home.
        QFile::setPermissions(home_.path(), QFile::permissions(home_.path()) | QFileDevice::ExeOther);
        const QString runtime = home_.filePath(QStringLiteral("sway"));
        QDir().mkpath(runtime);
        if (::chown(QFile::encodeName(runtime).constData(), account->pw_uid, account->pw_gid) != 0)
            return fail(QStringLiteral("cannot hand its runtime folder to velmora-test"));
        desktop_.setProcessEnvironment(
            with({"PATH=/usr/bin:/bin", "WLR_BACKENDS=headless", "WLR_RENDERER=pixman",
                  "WLR_LIBINPUT_NO_DEVICES=1", "XDG_RUNTIME_DIR=" + runtime},
                 false));
        desktop_.setStandardErrorFile(home_.filePath(QStringLiteral("log")));
        launch({QStringLiteral("setpriv"), QStringLiteral("--reuid=%1").arg(account->pw_uid),
                QStringLiteral("--regid=%1").arg(account->pw_gid), "--clear-groups", "sway", "-c",
                "/dev/null"});
        waitUntil([&] {
            const QStringList found = QDir(runtime).entryList({"sway-ipc.*.sock", "wayland-?"}, QDir::System);
            if (found.size() == 2)
                socket_ = runtime + u'/' + found[0], display_ = runtime + u'/' + found[1];
            return !socket_.isEmpty() || desktop_.state() == QProcess::NotRunning;
        });
        if (socket_.isEmpty())
            return fail(QStringLiteral("sway did not start: ") +
                        readText(home_.filePath(QStringLiteral("log"))));
        // Without devices sway has no keyboard, and so no layouts, until a client makes one.
        keyboard_.setProcessEnvironment(environment());
        keyboard_.start(QStringLiteral(VELMORA_WAYLAND_TOOLS "/velmora_virtual_keyboard"),
                        {layouts_, options_});
        return waitUntil([&] { return keyboard_.waitForReadyRead(10), keyboard_.canReadLine(); }) ||
               fail(QStringLiteral("sway offers no seat or no virtual keyboards"));
    }

    // An absolute socket path, so each client keeps a runtime folder of its own.
    QProcessEnvironment environment() const override {
        return with(
            {"WAYLAND_DISPLAY=" + display_, "SWAYSOCK=" + socket_, "XDG_RUNTIME_DIR=" + home_.path()});
    }

    int layout() override {
        const std::optional<QJsonDocument> inputs = request(I3Ipc::getInputs, {});
        for (const QJsonValue& input : inputs ? inputs->array() : QJsonArray())
            if (input[QLatin1String("type")] == QLatin1String("keyboard"))
                return input[QLatin1String("xkb_active_layout_index")].toInt(-1);
        return -1;
    }

    bool select(int index) override {
        return request(I3Ipc::runCommand,
                       "input type:keyboard xkb_switch_layout " + QByteArray::number(index))
            .has_value();
    }

    bool type(int code, bool down) override {
        return keyboard_.write(QByteArray::number(code) + (down ? " 1 " : " 0 ") +
                               QByteArray::number(layout()) + '\n') > 0 &&
               keyboard_.waitForBytesWritten();
    }

    bool setLayouts(const QByteArray& layouts) override {
        return request(I3Ipc::runCommand, "input type:keyboard xkb_layout '" + layouts + "'").has_value();
    }

private:
    std::optional<QJsonDocument> request(uint32_t type, const QByteArray& payload) {
        SwayIpcSocket socket(nullptr, nullptr);
        const std::optional<I3IpcMessage> reply =
            socket.connectTo(socket_, 1000) ? socket.request(type, payload, 2000) : std::nullopt;
        return reply ? I3Ipc::parsePayload(reply->payload) : std::nullopt;
    }

    QString socket_, display_;
    QProcess keyboard_;
};

class KWin final : public Desktop {
public:
    ~KWin() override { QDBusConnection::disconnectFromBus(address_); }

    bool begin() override {
        QFile kxkbrc(home_.filePath(QStringLiteral("kxkbrc")));
        if (!kxkbrc.open(QIODevice::WriteOnly) ||
            !kxkbrc.write("[Layout]\nUse=true\nResetOldOptions=true\nLayoutList=" + layouts_ +
                          "\nOptions=" + options_ + "\nSwitchMode=" + switchMode_ + '\n'))
            return fail(QStringLiteral("cannot write kxkbrc"));
        kxkbrc.close();
        // The installed binary carries file capabilities that a container may refuse; a copy (under
        // its own name, which KWin's platform plugin wants) has none.
        if (!QFile::copy(releaseFile(QStringLiteral("/usr/bin/kwin_wayland")),
                         home_.filePath(QStringLiteral("kwin_wayland"))))
            return fail(QStringLiteral("no /usr/bin/kwin_wayland (scripts/bootstrap installs kwin-wayland)"));
        // In the shared folder, where KWin in a root filesystem reaches it too.
        bus_.start(QStringLiteral("dbus-daemon"),
                   {"--session", "--nofork", "--print-address=1",
                    "--address=unix:path=" + home_.filePath(QStringLiteral("session-bus"))});
        if (!bus_.waitForReadyRead(5000))
            return fail(QStringLiteral("dbus-daemon did not start"));
        address_ = QString::fromUtf8(bus_.readLine().trimmed());
        return restart();
    }

    bool restart() override {
        desktop_.setProcessEnvironment(
            with({"DBUS_SESSION_BUS_ADDRESS=" + address_, "XDG_CONFIG_HOME=" + home_.path(),
                  "XDG_RUNTIME_DIR=" + home_.path(), "KWIN_WAYLAND_NO_PERMISSION_CHECKS=1"}));
        desktop_.setStandardErrorFile(home_.filePath(QStringLiteral("log")));
        launch({home_.filePath(QStringLiteral("kwin_wayland")), "--virtual", "--no-lockscreen", "--socket",
                "kwin"});
        waitUntil([&] { return desktop_.state() == QProcess::NotRunning || layout() >= 0; }, 20000);
        return layout() >= 0 || fail(QStringLiteral("KWin did not come up: ") +
                                     readText(home_.filePath(QStringLiteral("log"))));
    }

    // Off KWin's Wayland socket (offscreen), so that a client outlives KWin; a runtime folder that KWin
    // in a root filesystem reads too, where Velmora leaves its focus script.
    QProcessEnvironment environment() const override {
        return with({"DBUS_SESSION_BUS_ADDRESS=" + address_, "XDG_CONFIG_HOME=" + home_.path(),
                     "WAYLAND_DISPLAY=" + home_.filePath(QStringLiteral("kwin")), "XDG_CURRENT_DESKTOP=KDE",
                     "XDG_RUNTIME_DIR=" + home_.path(), "QT_QPA_PLATFORM=offscreen"});
    }

    int layout() override { return layouts(QStringLiteral("getLayout")); }
    bool select(int index) override { return layouts(QStringLiteral("setLayout"), {uint(index)}) == 1; }

private:
    QDBusConnection bus() const { return QDBusConnection::connectToBus(address_, address_); }
    int layouts(const QString& method, const QVariantList& arguments = {}) {
        return indexReply(bus(), QStringLiteral("org.kde.keyboard"), QStringLiteral("/Layouts"),
                          QStringLiteral("org.kde.KeyboardLayouts"), method, arguments);
    }

    QProcess bus_;
    QString address_;
};

class Gnome final : public Desktop {
public:
    ~Gnome() override { QDBusConnection::disconnectFromBus(home_.path()); }

    void setExtensions(const QStringList& enabled, const QByteArray& moduleVersions) override {
        enabled_ = enabled, moduleVersions_ = moduleVersions;
    }

    bool begin() override {
        QStringList enabled;
        for (const QString& uuid : GnomeShellBus::extensionUuids) {
            const QString extension = home_.filePath(QStringLiteral("data/gnome-shell/extensions/")) + uuid;
            QDir().mkpath(extension);
            for (const char* name : {"/metadata.json", "/extension.js", "/velmoraBus.js"})
                QFile::copy(QStringLiteral(VELMORA_GNOME_EXTENSION_DIR "/") + uuid + QLatin1String(name),
                            extension + QLatin1String(name));
            if (enabled_.contains(uuid))
                enabled << u'\'' + uuid + u'\'';
            if (uuid == GnomeShellBus::extensionUuid && !moduleVersions_.isEmpty())
                rewriteVersions(extension + QStringLiteral("/metadata.json"));
        }
        // A fresh runtime folder: one a killed shell left would disable every extension.
        desktop_.setProcessEnvironment(
            with({"PATH=/usr/bin:/bin:/usr/sbin:/sbin", "HOME=" + home_.path(),
                  "XDG_RUNTIME_DIR=" + home_.path(), "XDG_DATA_HOME=" + home_.filePath("data"),
                  "XDG_CONFIG_HOME=" + home_.path(), "GSETTINGS_BACKEND=keyfile",
                  "EXTENSIONS=[" + enabled.join(u',') + u']', QString::fromLatin1("LAYOUTS=" + layouts_),
                  QString::fromLatin1("XKB_OPTIONS=" + options_), perWindow(),
                  root_.isEmpty() ? QStringLiteral("SESSION_BUS=")
                                  : "SESSION_BUS=unix:path=" + home_.filePath("session-bus")},
                 false));
        desktop_.setWorkingDirectory(home_.path());
        desktop_.setStandardErrorFile(home_.filePath(QStringLiteral("log")));
        launch({"sh", "-c", readText(script("gnome-shell-session.sh"))}, true);
        const bool up = waitUntil(
            [&] {
                const QString address = readText(home_.filePath(QStringLiteral("bus.address")));
                if (!bus_.isConnected() && !address.isEmpty())
                    bus_ = QDBusConnection::connectToBus(address, home_.path());
                return desktop_.state() == QProcess::NotRunning || shellKnowsTheExtensions();
            },
            60000);
        return (up && desktop_.state() != QProcess::NotRunning &&
                (enabled_ != GnomeShellBus::extensionUuids || !moduleVersions_.isEmpty() || settle()) &&
                (layouts_ == "ru,us,de" || makeKeyboard())) ||
               fail(QStringLiteral("GNOME Shell did not come up with Velmora's extension and IBus (as root, "
                                   "with unshare): ") +
                    (desktop_.state() == QProcess::NotRunning ? QStringLiteral("it ended; ") : QString()) +
                    readText(home_.filePath(QStringLiteral("log"))).right(1500));
    }

    // The shell reloads its sources once IBus is up, and only then writes
    // the recent-sources order: ready when an activation shows there.
    bool settle() override {
        return waitUntil(
                   [&] {
                       return desktop_.state() == QProcess::NotRunning ||
                              (select(0) &&
                               recentSources().startsWith("[('xkb', '" + layouts_.left(2) + "')"));
                   },
                   60000) &&
               desktop_.state() != QProcess::NotRunning;
    }

    QProcessEnvironment environment() const override {
        return with({"DBUS_SESSION_BUS_ADDRESS=" + readText(home_.filePath(QStringLiteral("bus.address"))),
                     "WAYLAND_DISPLAY=" + home_.filePath(QStringLiteral("wayland-0")),
                     "XDG_SESSION_TYPE=wayland", "XDG_CURRENT_DESKTOP=GNOME"});
    }

    // The shell starts in its overview, where a new window does not take the focus.
    bool openWindow(const QString& application) override {
        QDBusMessage call = QDBusMessage::createMethodCall("org.gnome.Shell", "/org/gnome/Shell",
                                                           "org.freedesktop.DBus.Properties", "Set");
        call.setArguments({"org.gnome.Shell", "OverviewActive", QVariant::fromValue(QDBusVariant(false))});
        return bus_.call(call).type() == QDBusMessage::ReplyMessage && Desktop::openWindow(application);
    }

    int layout() override { return extension(QStringLiteral("GetCurrent")); }
    // Another client of the extension, as the shell's indicator would.
    bool select(int index) override { return extension(QStringLiteral("Activate"), {uint(index)}) == 1; }

private:
    // Headless, the shell has no keyboard, and so gives its clients no keymap, until a remote desktop
    // session (alive as long as this connection) makes a virtual one. Made only for a keyboard of
    // the test's own: with it, GNOME 48 and 51 here at times ignore another client's selection.
    bool makeKeyboard() {
        const QString service = QStringLiteral("org.gnome.Mutter.RemoteDesktop"),
                      session = service + ".Session";
        QDBusMessage call = QDBusMessage::createMethodCall(service, "/org/gnome/Mutter/RemoteDesktop",
                                                           service, "CreateSession");
        const QString path = bus_.call(call).arguments().value(0).value<QDBusObjectPath>().path();
        // The keyboard appears with its first key: Shift pressed and released.
        for (const QVariantList& arguments : {QVariantList{}, {42u, true}, {42u, false}}) {
            call = QDBusMessage::createMethodCall(service, path, session,
                                                  arguments.isEmpty() ? "Start" : "NotifyKeyboardKeycode");
            call.setArguments(arguments);
            if (path.isEmpty() || bus_.call(call).type() != QDBusMessage::ReplyMessage)
                return false;
        }
        return true;
    }
    bool shellKnowsTheExtensions() {
        QDBusMessage call = QDBusMessage::createMethodCall("org.gnome.Shell", "/org/gnome/Shell",
                                                           "org.gnome.Shell.Extensions", "GetExtensionInfo");
        call.setArguments({GnomeShellBus::extensionUuid});
        const QDBusMessage reply = bus_.call(call, QDBus::Block, 2000);
        return reply.type() == QDBusMessage::ReplyMessage &&
               !qdbus_cast<QVariantMap>(reply.arguments().value(0)).isEmpty();
    }
    void rewriteVersions(const QString& path) {
        QString metadata = readText(path);
        metadata.replace(QRegularExpression(QStringLiteral("\"shell-version\": \\[[^]]*\\]")),
                         QStringLiteral("\"shell-version\": ") + QString::fromLatin1(moduleVersions_));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(metadata.toUtf8());
    }
    int extension(const QString& method, const QVariantList& arguments = {}) {
        return indexReply(bus_, GnomeShellBus::service, GnomeShellBus::path, GnomeShellBus::interface, method,
                          arguments);
    }
    QString recentSources() {
        QProcess gsettings;
        gsettings.setProcessEnvironment(desktop_.processEnvironment());
        gsettings.start(QStringLiteral("gsettings"),
                        {"get", "org.gnome.desktop.input-sources", "mru-sources"});
        gsettings.waitForFinished(5000);
        return QString::fromUtf8(gsettings.readAllStandardOutput());
    }

    QDBusConnection bus_{QStringLiteral("none")};
    QStringList enabled_ = GnomeShellBus::extensionUuids;
    QByteArray moduleVersions_;
};

} // namespace

std::unique_ptr<Desktop> Desktop::create(const QString& name) {
    const QString kind = name.section(u'/', 0, 0), release = name.section(u'/', 1);
    std::unique_ptr<Desktop> desktop;
    if (kind == QLatin1String("Sway"))
        desktop = std::make_unique<Sway>();
    else if (kind == QLatin1String("KWin"))
        desktop = std::make_unique<KWin>();
    else if (kind.startsWith(QLatin1String("Cinnamon")))
        desktop = makeCinnamon(kind == QLatin1String("CinnamonWayland"));
    else
        desktop = std::make_unique<Gnome>();
    if (!release.isEmpty())
        desktop->root_ = qEnvironmentVariable("VELMORA_ROOTS", QStringLiteral("/var/cache/velmora/roots")) +
                         u'/' + release;
    return desktop;
}

std::vector<std::string> Desktop::all() {
    std::vector<std::string> names;
    for (const char* release : {"", "/trixie", "/sid"})
        for (const char* kind : {"Sway", "KWin", "Gnome"})
            names.push_back(std::string(kind) + release);
    // Cinnamon 6.4 (the X11 backend) and 6.6 (its own input sources) on X11; 6.6 on Wayland.
    for (const char* name : {"Cinnamon/trixie", "Cinnamon/sid", "CinnamonWayland/sid"})
        names.emplace_back(name);
    return names;
}

bool Desktop::start() {
    if (!root_.isEmpty() && !QFile::exists(root_ + QStringLiteral("/usr/bin/gnome-shell")))
        return fail(QStringLiteral("no root filesystem at ") + root_ +
                    QStringLiteral(" (scripts/bootstrap --tests makes it with scripts/rootfs)"));
    return begin();
}

void Desktop::launch(const QStringList& command, bool privateNamespaces) {
    if (!root_.isEmpty())
        desktop_.start(QStringLiteral("unshare"),
                       QStringList{"--mount", "--pid", "--fork", "--kill-child=SIGKILL", "--propagation",
                                   "private", "bash", script("enter-root.sh"), root_, home_.path()} +
                           command);
    else if (privateNamespaces)
        desktop_.start(QStringLiteral("unshare"),
                       QStringList{"--mount-proc", "--pid", "--kill-child=SIGKILL"} + command);
    else
        desktop_.start(command.first(), command.mid(1));
}

bool Desktop::openWindow(const QString& application) {
    QProcess& window = *windows_.emplace_back(std::make_unique<QProcess>());
    QProcessEnvironment environment = this->environment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), environment.contains(QStringLiteral("DISPLAY"))
                                                              ? QStringLiteral("xcb")
                                                              : QStringLiteral("wayland"));
    window.setProcessEnvironment(environment);
    window.start(QStringLiteral(VELMORA_WAYLAND_TOOLS "/velmora_focus_window"), {application});
    return window.waitForStarted();
}

void Desktop::kill() {
    desktop_.kill();
    desktop_.waitForFinished(5000);
}

bool Desktop::fail(const QString& why) {
    error_ = why;
    return false;
}

} // namespace velmora::test
