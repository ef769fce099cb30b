// Measures, on a private headless GNOME Shell 43, how fast the switching
// engine on the GNOME backend reacts as the shell reports it: trigger press
// written to the evdev stream -> CurrentChanged from Velmora's extension,
// beside a bare D-Bus client that only calls Activate (the least any
// switcher through the shell can take). The velmora program runs as in a
// session, reading its keys from a FIFO. Figures are printed; nothing is
// asserted.
#include "LatencyFigures.h"
#include "e2e/VelmoraProcess.h"
#include "platform/gnome/GnomeShellBus.h"
#include "wayland/GnomeShellSession.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <linux/input.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace velmora;
using namespace velmora::bench;

namespace {

constexpr uint russian = 0;
constexpr uint english = 1;


} // namespace

// Another client of the extension, told of each change by its signal.
class Observer : public QObject {
    Q_OBJECT

public:
    explicit Observer(QDBusConnection bus) : bus_(std::move(bus)) {
        bus_.connect(GnomeShellBus::service, GnomeShellBus::path, GnomeShellBus::interface,
                     QStringLiteral("CurrentChanged"), this, SLOT(changed(uint)));
    }
    // Runs the event loop until the source is announced; false after 2 s.
    bool waitForSource(uint index) {
        const Clock::time_point deadline = Clock::now() + std::chrono::seconds(2);
        while (Clock::now() < deadline) {
            if (std::exchange(announced_, -1) == int(index))
                return true;
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        }
        return false;
    }

private Q_SLOTS:
    void changed(uint index) { announced_ = int(index); }

private:
    QDBusConnection bus_;
    int announced_ = -1;
};

namespace {

void writeKey(int fifo, int code, bool down) {
    input_event events[2]{};
    events[0].type = EV_KEY, events[0].code = code, events[0].value = down ? 1 : 0;
    events[1].type = EV_SYN, events[1].code = SYN_REPORT;
    (void)!::write(fifo, events, sizeof events);
}

void measureVelmora(int fifo, Observer& observer, int presses) {
    std::vector<double> toEnglish, toPrevious;
    for (int i = 0; i < presses; ++i) {
        const Clock::time_point pressed = Clock::now();
        writeKey(fifo, KEY_LEFTCTRL, true);
        const bool switched = observer.waitForSource(english);
        const Clock::time_point switchedAt = Clock::now();
        writeKey(fifo, KEY_LEFTCTRL, false);
        if (switched && observer.waitForSource(russian)) {
            toEnglish.push_back(micro(switchedAt - pressed));
            toPrevious.push_back(micro(Clock::now() - switchedAt));
        }
    }
    print("Velmora: Ctrl press -> CurrentChanged(English)   ", toEnglish);
    print("Velmora: Ctrl release -> CurrentChanged(previous)", toPrevious);
}

void measureBareClient(QDBusConnection bus, Observer& observer, int presses) {
    std::vector<double> switches, replies;
    for (int i = 0; i < presses; ++i)
        for (uint source : {english, russian}) {
            QDBusMessage call =
                QDBusMessage::createMethodCall(GnomeShellBus::service, GnomeShellBus::path,
                                               GnomeShellBus::interface, QStringLiteral("Activate"));
            call.setArguments({QVariant::fromValue(source)});
            const Clock::time_point sent = Clock::now();
            // Every other round waits for the reply: the shell's whole work,
            // its write of the recent-sources order included.
            if (i % 2 == 0) {
                bus.send(call);
                if (observer.waitForSource(source))
                    switches.push_back(micro(Clock::now() - sent));
            } else {
                bus.call(call);
                replies.push_back(micro(Clock::now() - sent));
                observer.waitForSource(source);
            }
        }
    print("bare D-Bus client: Activate -> CurrentChanged    ", switches);
    print("bare D-Bus client: Activate -> its reply         ", replies);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int presses = 300;
    for (const QString& argument : app.arguments())
        if (argument.startsWith(QLatin1String("--presses=")))
            presses = argument.section(QLatin1Char('='), 1).toInt();
    test::GnomeShellSession shell;
    if (!shell.start()) {
        std::fprintf(stderr, "GNOME Shell cannot start: %s\n", qPrintable(shell.error()));
        return 1;
    }
    QTemporaryDir home;
    const QString fifo = home.filePath(QStringLiteral("keyboard"));
    mkfifo(QFile::encodeName(fifo).constData(), 0600);
    const int writer = ::open(QFile::encodeName(fifo).constData(), O_RDWR | O_CLOEXEC);
    QDir().mkpath(home.filePath(QStringLiteral("Velmora")));
    QFile settings(home.filePath(QStringLiteral("Velmora/Velmora.conf")));
    if (writer < 0 || !settings.open(QIODevice::WriteOnly))
        return 1;
    settings.write("[General]\nhasLaunchedBefore=true\nenableAutoUpdates=false\n");
    settings.close();
    QProcessEnvironment environment = shell.clientEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
    environment.insert(QStringLiteral("VELMORA_INPUT_DEVICES"), fifo);
    environment.insert(QStringLiteral("VELMORA_UPDATE_FEED_URL"),
                       QStringLiteral("http://127.0.0.1:9/version.json"));
    test::VelmoraProcess velmora(environment);
    if (!velmora.start() ||
        velmora.waitForLine(QStringLiteral("Accessibility Permission: ✅ Granted")).isEmpty()) {
        std::fprintf(stderr, "velmora did not start\n");
        return 1;
    }
    Observer observer(shell.bus());
    QFile load(QStringLiteral("/proc/loadavg"));
    load.open(QIODevice::ReadOnly);
    std::printf(
        "headless GNOME Shell %s, the velmora program fed through a FIFO, %d presses, load average %s\n",
        "43", presses, load.readAll().split(' ').mid(0, 3).join(' ').constData());
    measureVelmora(writer, observer, presses);
    measureBareClient(shell.bus(), observer, presses);
    ::close(writer);
    return velmora.terminate() == 0 ? 0 : 1;
}

#include "GnomeSwitchLatency.moc"
