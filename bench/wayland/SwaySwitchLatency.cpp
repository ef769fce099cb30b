// Measures, on a private headless sway, how fast the switching engine on the
// sway backend reacts, as another IPC client sees it:
//  (a) trigger press written to the evdev stream -> the English layout
//      announced to another client, beside a bare client that only sends
//      xkb_switch_layout (the least any switcher can take);
//  (b) how often the C of Ctrl+C reaches the focused window in the English
//      layout when C follows Ctrl by a given gap.
// The velmora program runs as in a session, reading the same key events from
// a FIFO; the harness injects and observes on its own thread, polling the
// observer. Figures are printed; nothing is asserted.
#include "LatencyFigures.h"
#include "e2e/VelmoraProcess.h"
#include "platform/sway/I3IpcFraming.h"
#include "wayland/SwaySession.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <linux/input.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

using namespace velmora;
using namespace velmora::bench;

namespace {

constexpr int russian = 0;
constexpr int english = 1;


int connectTo(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.toLocal8Bit().constData(), sizeof address.sun_path - 1);
    return ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 ? fd : -1;
}

void send(int fd, uint32_t type, const QByteArray& payload) {
    const QByteArray message = I3Ipc::encode(type, payload);
    (void)!::write(fd, message.constData(), message.size());
}

// Another IPC client, subscribed to input events; polled, never blocking the
// event loop that runs the engine.
class Observer {
public:
    explicit Observer(const QString& socket) : fd_(connectTo(socket)) {
        send(fd_, I3Ipc::subscribe, R"(["input"])");
    }
    ~Observer() { ::close(fd_); }
    // Runs the event loop until the layout is announced; false after 2 s.
    bool waitForLayout(int layout) {
        const Clock::time_point deadline = Clock::now() + std::chrono::seconds(2);
        while (Clock::now() < deadline) {
            pollfd descriptor{fd_, POLLIN, 0};
            if (::poll(&descriptor, 1, 0) > 0) {
                char buffer[65536];
                const ssize_t count = ::read(fd_, buffer, sizeof buffer);
                if (count <= 0)
                    return false;
                decoder_.append(QByteArray(buffer, count));
                while (std::optional<I3IpcMessage> message = decoder_.next()) {
                    const std::optional<QJsonDocument> event = I3Ipc::parsePayload(message->payload);
                    if (message->type == I3Ipc::inputEvent && event &&
                        event->object()[QLatin1String("input")][QLatin1String("xkb_active_layout_index")]
                                .toInt(-1) == layout)
                        return true;
                }
            }
            QCoreApplication::processEvents();
        }
        return false;
    }

private:
    int fd_;
    I3IpcDecoder decoder_;
};

class Harness {
public:
    Harness(test::SwaySession& sway, int pipeWriter)
        : sway_(sway), pipe_(pipeWriter), observer_(sway.swaySocket()) {}

    void writeKey(int code, bool down) {
        input_event events[2]{};
        events[0].type = EV_KEY, events[0].code = code, events[0].value = down ? 1 : 0;
        events[1].type = EV_SYN, events[1].code = SYN_REPORT;
        (void)!::write(pipe_, events, sizeof events);
    }

    void measureVelmora(int presses) {
        std::vector<double> toEnglish, toPrevious;
        for (int i = 0; i < presses; ++i) {
            const Clock::time_point pressed = Clock::now();
            writeKey(KEY_LEFTCTRL, true);
            const bool switched = observer_.waitForLayout(english);
            const Clock::time_point switchedAt = Clock::now();
            writeKey(KEY_LEFTCTRL, false);
            const bool restored = observer_.waitForLayout(russian);
            if (switched && restored) {
                toEnglish.push_back(micro(switchedAt - pressed));
                toPrevious.push_back(micro(Clock::now() - switchedAt));
            }
        }
        print("(a) Velmora: Ctrl press -> English   ", toEnglish);
        print("    Velmora: Ctrl release -> previous", toPrevious);
    }

    void measureBareClient(int presses) {
        const int commands = connectTo(sway_.swaySocket());
        std::vector<double> switches;
        for (int i = 0; i < presses; ++i) {
            for (int layout : {english, russian}) {
                const Clock::time_point sent = Clock::now();
                send(commands, I3Ipc::runCommand,
                     "input type:keyboard xkb_switch_layout " + QByteArray::number(layout));
                if (observer_.waitForLayout(layout))
                    switches.push_back(micro(Clock::now() - sent));
                drain(commands);
            }
        }
        print("    bare IPC client: command -> layout  ", switches);
        ::close(commands);
    }

    void measureShortcuts(int trials) {
        std::printf("(b) Ctrl+C, C following Ctrl by a gap: share of C arriving Latin\n");
        for (double gapMs : {0.0, 0.2, 1.0}) {
            int latin = 0, seen = 0;
            for (int i = 0; i < trials; ++i) {
                const qsizetype before = sway_.keysyms().size();
                sway_.press(KEY_LEFTCTRL, true);
                writeKey(KEY_LEFTCTRL, true);
                const Clock::time_point deadline =
                    Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                       std::chrono::duration<double, std::milli>(gapMs));
                while (Clock::now() < deadline)
                    QCoreApplication::processEvents();
                sway_.press(KEY_C, true, false);
                sway_.press(KEY_C, false, false);
                observer_.waitForLayout(english);
                sway_.press(KEY_LEFTCTRL, false);
                writeKey(KEY_LEFTCTRL, false);
                observer_.waitForLayout(russian);
                const QStringList keys = sway_.keysyms();
                if (keys.size() > before) {
                    ++seen;
                    latin += keys.last() == QLatin1String("0x63");
                }
            }
            std::printf("    gap %.1f ms: %5.1f %% Latin (%d of %d)\n", gapMs,
                        seen ? 100.0 * latin / seen : 0.0, latin, seen);
        }
    }

private:
    static double micro(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }
    static void drain(int fd) {
        char buffer[4096];
        pollfd descriptor{fd, POLLIN, 0};
        while (::poll(&descriptor, 1, 50) > 0 && ::read(fd, buffer, sizeof buffer) > 0)
            break;
    }

    test::SwaySession& sway_;
    int pipe_;
    Observer observer_;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int presses = 1000, trials = 200;
    for (const QString& argument : app.arguments()) {
        if (argument.startsWith(QLatin1String("--presses=")))
            presses = argument.section(QLatin1Char('='), 1).toInt();
        if (argument.startsWith(QLatin1String("--trials=")))
            trials = argument.section(QLatin1Char('='), 1).toInt();
    }
    test::SwaySession sway;
    if (!sway.start()) {
        std::fprintf(stderr, "sway cannot start: %s\n", qPrintable(sway.error()));
        return 1;
    }
    // The real program, with its settings and runtime folder of its own, reads
    // its keyboard from a FIFO this harness holds open.
    QTemporaryDir home;
    const QString fifo = home.filePath(QStringLiteral("keyboard"));
    mkfifo(QFile::encodeName(fifo).constData(), 0600);
    const int writer = ::open(QFile::encodeName(fifo).constData(), O_RDWR | O_CLOEXEC);
    QDir().mkpath(home.filePath(QStringLiteral("config/Velmora")));
    QDir().mkpath(home.filePath(QStringLiteral("runtime")));
    QFile settings(home.filePath(QStringLiteral("config/Velmora/Velmora.conf")));
    if (writer < 0 || !settings.open(QIODevice::WriteOnly))
        return 1;
    settings.write("[General]\nhasLaunchedBefore=true\nenableAutoUpdates=false\n");
    settings.close();
    QProcessEnvironment environment = sway.clientEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.filePath(QStringLiteral("runtime")));
    environment.insert(QStringLiteral("VELMORA_INPUT_DEVICES"), fifo);
    environment.insert(QStringLiteral("VELMORA_UPDATE_FEED_URL"),
                       QStringLiteral("http://127.0.0.1:9/version.json"));
    test::VelmoraProcess velmora(environment);
    if (!velmora.start() ||
        velmora.waitForLine(QStringLiteral("Accessibility Permission: ✅ Granted")).isEmpty()) {
        std::fprintf(stderr, "velmora did not start\n");
        return 1;
    }
    Harness harness(sway, writer);
    QFile load(QStringLiteral("/proc/loadavg"));
    load.open(QIODevice::ReadOnly);
    std::printf("headless sway, the velmora program fed through a FIFO, %d presses, load average %s\n",
                presses, load.readAll().split(' ').mid(0, 3).join(' ').constData());
    harness.measureVelmora(presses);
    harness.measureBareClient(presses);
    harness.measureShortcuts(trials);
    ::close(writer);
    return velmora.terminate() == 0 ? 0 : 1;
}
