#include "wayland/SwaySession.h"

#include "platform/sway/SwayIpcSocket.h"
#include "support/WaitUntil.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>

#include <pwd.h>
#include <unistd.h>

namespace velmora::test {

SwaySession::SwaySession() = default;

SwaySession::~SwaySession() {
    for (QProcess* process : {&window_, &keyboard_, &sway_})
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(5000);
        }
}

bool SwaySession::start() {
    const passwd* account = getpwnam(user);
    if (account == nullptr) {
        error_ = QStringLiteral("no user %1 (scripts/bootstrap creates it)").arg(QLatin1String(user));
        return false;
    }
    // The test user reaches its runtime folder and config through this one.
    QFile::setPermissions(home_.path(),
                          QFile::permissions(home_.path()) | QFileDevice::ExeOther | QFileDevice::ReadOther);
    runtime_ = home_.filePath(QStringLiteral("sway-runtime"));
    QDir().mkpath(runtime_);
    if (::chown(QFile::encodeName(runtime_).constData(), account->pw_uid, account->pw_gid) != 0)
        return false;
    const QString config = home_.filePath(QStringLiteral("sway.config"));
    QFile file(config);
    file.open(QIODevice::WriteOnly);
    file.write("default_border none\n");
    file.close();

    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_);
    environment.insert(QStringLiteral("WLR_BACKENDS"), QStringLiteral("headless"));
    environment.insert(QStringLiteral("WLR_LIBINPUT_NO_DEVICES"), QStringLiteral("1"));
    environment.insert(QStringLiteral("WLR_RENDERER"), QStringLiteral("pixman"));
    environment.insert(QStringLiteral("WLR_HEADLESS_OUTPUTS"), QStringLiteral("1"));
    sway_.setProcessEnvironment(environment);
    sway_.setWorkingDirectory(home_.path());
    sway_.setStandardOutputFile(QProcess::nullDevice());
    sway_.setStandardErrorFile(home_.filePath(QStringLiteral("sway.log")));
    sway_.start(QStringLiteral("setpriv"),
                {QStringLiteral("--reuid=%1").arg(account->pw_uid),
                 QStringLiteral("--regid=%1").arg(account->pw_gid), QStringLiteral("--clear-groups"),
                 QStringLiteral("sway"), QStringLiteral("-c"), config});
    const QDir runtime(runtime_);
    const bool up = waitUntil(
        [&] {
            const QStringList ipc = runtime.entryList({QStringLiteral("sway-ipc.*.sock")}, QDir::System);
            const QStringList wayland = runtime.entryList({QStringLiteral("wayland-?")}, QDir::System);
            if (ipc.isEmpty() || wayland.isEmpty())
                return sway_.state() == QProcess::NotRunning; // gave up
            swaySocket_ = runtime.filePath(ipc.first());
            waylandDisplay_ = runtime.filePath(wayland.first());
            return true;
        },
        10000);
    if (!up || swaySocket_.isEmpty()) {
        error_ = QStringLiteral("sway did not start (is the sway package installed?)");
        return false;
    }
    const QString tools = QStringLiteral(VELMORA_WAYLAND_TOOLS);
    return startClient(keyboard_, tools + QStringLiteral("/velmora_virtual_keyboard"),
                       QStringLiteral("ready")) &&
           startClient(window_, tools + QStringLiteral("/velmora_focused_window"), QStringLiteral("focused"));
}

bool SwaySession::startClient(QProcess& process, const QString& program, const QString& readyLine) {
    QProcessEnvironment environment = clientEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    process.setProcessEnvironment(environment);
    process.start(program);
    const bool ready = waitUntil(
        [&] {
            process.waitForReadyRead(10);
            return process.canReadLine() && process.readLine().trimmed() == readyLine.toUtf8();
        },
        10000);
    if (!ready)
        error_ = program + QStringLiteral(" did not come up: ") +
                 QString::fromUtf8(process.readAllStandardError());
    return ready;
}

QProcessEnvironment SwaySession::clientEnvironment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "XDG_SESSION_TYPE", "QT_QPA_PLATFORM", "VELMORA_INPUT_DEVICES"})
        environment.remove(QString::fromLatin1(name));
    // An absolute socket path, so each client keeps a runtime folder of its own.
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), waylandDisplay_);
    environment.insert(QStringLiteral("SWAYSOCK"), swaySocket_);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home_.path());
    return environment;
}

int SwaySession::activeLayout() const {
    SwayIpcSocket socket(nullptr, nullptr);
    if (!socket.connectTo(swaySocket_, 1000))
        return -1;
    const std::optional<I3IpcMessage> reply = socket.request(I3Ipc::getInputs, {}, 2000);
    const std::optional<QJsonDocument> inputs = reply ? I3Ipc::parsePayload(reply->payload) : std::nullopt;
    if (!inputs)
        return -1;
    for (const QJsonValue& input : inputs->array())
        if (input[QLatin1String("type")] == QLatin1String("keyboard"))
            return input[QLatin1String("xkb_active_layout_index")].toInt(-1);
    return -1;
}

bool SwaySession::press(int code, bool down, bool modifier) {
    // The virtual keyboard announces modifiers with a layout of its own
    // reckoning; it starts from sway's, or it would undo Velmora's switches.
    const QByteArray sync =
        modifier ? "g " + QByteArray::number(qMax(0, activeLayout())) + "\n" : QByteArray();
    keyboard_.write(sync + "k " + QByteArray::number(code) + (down ? " 1\n" : " 0\n"));
    int answers = 0;
    return waitUntil([&] {
        keyboard_.waitForReadyRead(10);
        while (keyboard_.canReadLine())
            answers += keyboard_.readLine().trimmed() == "ok";
        return answers == (modifier ? 2 : 1);
    });
}

QStringList SwaySession::keysyms() {
    window_.waitForReadyRead(10);
    while (window_.canReadLine()) {
        const QString line = QString::fromUtf8(window_.readLine().trimmed());
        if (line.startsWith(QLatin1String("key ")))
            keysyms_.append(line.mid(4));
    }
    return keysyms_;
}

void SwaySession::kill() {
    sway_.kill();
    sway_.waitForFinished(5000);
}

} // namespace velmora::test
