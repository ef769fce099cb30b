#include "wayland/KWinSession.h"

#include "support/WaitUntil.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFile>

namespace velmora::test {

namespace {

const QString keyboardService = QStringLiteral("org.kde.keyboard");
const QString layoutsPath = QStringLiteral("/Layouts");
const QString layoutsInterface = QStringLiteral("org.kde.KeyboardLayouts");

} // namespace

KWinSession::KWinSession() = default;

KWinSession::~KWinSession() {
    for (QProcess* process : {&window_, &keyboard_, &kwin_, &bus_})
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(5000);
        }
    QDBusConnection::disconnectFromBus(busAddress_);
}

bool KWinSession::start() {
    QDir().mkpath(configHome());
    QDir().mkpath(home_.filePath(QStringLiteral("runtime")));
    QFile::setPermissions(home_.filePath(QStringLiteral("runtime")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    writeLayouts("LayoutList=ru,us\nUse=true\n");
    if (!QFile::copy(QStringLiteral("/usr/bin/kwin_wayland"),
                     home_.filePath(QStringLiteral("kwin_wayland")))) {
        error_ = QStringLiteral("no /usr/bin/kwin_wayland (scripts/bootstrap installs kwin-wayland)");
        return false;
    }
    bus_.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                               QStringLiteral("--print-address=1")});
    if (!bus_.waitForReadyRead(5000)) {
        error_ = QStringLiteral("dbus-daemon did not start");
        return false;
    }
    busAddress_ = QString::fromUtf8(bus_.readLine().trimmed());
    const QString tools = QStringLiteral(VELMORA_WAYLAND_TOOLS);
    return startKWin() && startClient(window_, tools + QStringLiteral("/velmora_focused_window")) &&
           startClient(keyboard_, tools + QStringLiteral("/velmora_fake_input_keyboard"));
}

bool KWinSession::startClient(QProcess& process, const QString& program) {
    QProcessEnvironment environment = clientEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home_.filePath(QStringLiteral("runtime")));
    process.setProcessEnvironment(environment);
    process.start(program);
    const bool ready = waitUntil(
        [&] {
            process.waitForReadyRead(10);
            return process.canReadLine() && !process.readLine().trimmed().isEmpty();
        },
        10000);
    if (!ready)
        error_ = program + QStringLiteral(" did not come up: ") +
                 QString::fromUtf8(process.readAllStandardError());
    return ready;
}

bool KWinSession::press(int code, bool down) {
    keyboard_.write("k " + QByteArray::number(code) + (down ? " 1\n" : " 0\n"));
    QByteArray answer;
    return waitUntil([&] {
        keyboard_.waitForReadyRead(10);
        answer += keyboard_.readAllStandardOutput();
        return answer.contains("ok\n");
    });
}

QStringList KWinSession::keysyms() {
    window_.waitForReadyRead(10);
    while (window_.canReadLine()) {
        const QString line = QString::fromUtf8(window_.readLine().trimmed());
        if (line.startsWith(QLatin1String("key ")))
            keysyms_.append(line.mid(4));
    }
    return keysyms_;
}

bool KWinSession::startKWin() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress_);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home_.filePath(QStringLiteral("runtime")));
    environment.insert(QStringLiteral("KWIN_WAYLAND_NO_PERMISSION_CHECKS"), QStringLiteral("1"));
    kwin_.setProcessEnvironment(environment);
    kwin_.setStandardOutputFile(QProcess::nullDevice());
    kwin_.setStandardErrorFile(home_.filePath(QStringLiteral("kwin.log")));
    kwin_.start(home_.filePath(QStringLiteral("kwin_wayland")),
                {QStringLiteral("--virtual"), QStringLiteral("--no-lockscreen"), QStringLiteral("--socket"),
                 QStringLiteral("wayland-kwin")});
    const bool up = waitUntil(
        [&] {
            return kwin_.state() == QProcess::NotRunning ||
                   (bus().interface()->isServiceRegistered(keyboardService) && activeLayout() >= 0);
        },
        20000);
    if (!up || kwin_.state() == QProcess::NotRunning) {
        QFile log(home_.filePath(QStringLiteral("kwin.log")));
        log.open(QIODevice::ReadOnly);
        error_ = QStringLiteral("KWin did not come up: ") + QString::fromUtf8(log.readAll().right(600));
        return false;
    }
    return true;
}

void KWinSession::killKWin() {
    kwin_.kill();
    kwin_.waitForFinished(5000);
}

QString KWinSession::configHome() const {
    return home_.filePath(QStringLiteral("config"));
}

QProcessEnvironment KWinSession::clientEnvironment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "SWAYSOCK", "QT_QPA_PLATFORM", "VELMORA_INPUT_DEVICES"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress_);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome());
    environment.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("KDE"));
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"),
                       home_.filePath(QStringLiteral("runtime/wayland-kwin")));
    return environment;
}

QDBusConnection KWinSession::bus() const {
    return QDBusConnection::connectToBus(busAddress_, busAddress_);
}

int KWinSession::activeLayout() const {
    const QDBusMessage reply =
        bus().call(QDBusMessage::createMethodCall(keyboardService, layoutsPath, layoutsInterface,
                                                  QStringLiteral("getLayout")),
                   QDBus::Block, 2000);
    return reply.type() == QDBusMessage::ReplyMessage ? int(reply.arguments().value(0).toUInt()) : -1;
}

bool KWinSession::selectLayout(int index) const {
    QDBusMessage call = QDBusMessage::createMethodCall(keyboardService, layoutsPath, layoutsInterface,
                                                       QStringLiteral("setLayout"));
    call << uint(index);
    return bus().call(call, QDBus::Block, 2000).arguments().value(0).toBool();
}

void KWinSession::writeLayouts(const QByteArray& layoutGroup) {
    QFile file(configHome() + QStringLiteral("/kxkbrc"));
    file.open(QIODevice::WriteOnly);
    file.write("[Layout]\n" + layoutGroup);
    file.close();
    // What the keyboard settings send after writing kxkbrc.
    if (!busAddress_.isEmpty())
        bus().send(QDBusMessage::createSignal(layoutsPath, QStringLiteral("org.kde.keyboard"),
                                              QStringLiteral("reloadConfig")));
}

} // namespace velmora::test
