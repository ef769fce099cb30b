// Measures, on a private headless desktop (sway, KWin, GNOME Shell), how fast
// the real velmora program switches as another client of the desktop sees
// it: trigger press written to its evdev stream -> the desktop reports the
// English layout; release -> the previous one. The harness asks the desktop
// in a loop, so each figure includes up to one request's round trip.
// Figures are printed; nothing is asserted.
//   velmora_wayland_latency [Sway|KWin|Gnome ...] [--rounds=N]   (all three by default)
#include "e2e/VelmoraProcess.h"
#include "wayland/Desktops.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <linux/input.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace velmora::test;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int russian = 0, english = 1;

void writeKey(int fifo, int code, bool down) {
    input_event events[2]{};
    events[0].type = EV_KEY, events[0].code = code, events[0].value = down ? 1 : 0;
    events[1].type = EV_SYN, events[1].code = SYN_REPORT;
    (void)!::write(fifo, events, sizeof events);
}

// Milliseconds until the desktop reports the layout, or a negative figure after 2 s.
double msUntil(Desktop& desktop, int layout, Clock::time_point since) {
    while (desktop.layout() != layout) {
        if (Clock::now() - since > std::chrono::seconds(2))
            return -1;
        QCoreApplication::processEvents();
    }
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

void print(const char* label, std::vector<double> values, int rounds) {
    std::sort(values.begin(), values.end());
    const auto at = [&](double fraction) {
        return values[size_t(fraction * double(values.size() - 1) + 0.5)];
    };
    if (values.empty())
        std::printf("  %-20s no switch seen in %d rounds\n", label, rounds);
    else
        std::printf("  %-20s median %7.2f ms   p95 %7.2f ms   (%zu of %d rounds)\n", label, at(0.5), at(0.95),
                    values.size(), rounds);
}

bool measure(const QString& name, int rounds) {
    const std::unique_ptr<Desktop> desktop = Desktop::create(name);
    if (!desktop->start()) {
        std::fprintf(stderr, "%s cannot start: %s\n", qPrintable(name), qPrintable(desktop->error()));
        return false;
    }
    // The real program with settings of its own, reading its keyboard from a
    // FIFO held open here.
    QTemporaryDir home;
    const QByteArray fifo = QFile::encodeName(home.filePath(QStringLiteral("keyboard")));
    mkfifo(fifo.constData(), 0600);
    const int writer = ::open(fifo.constData(), O_RDWR | O_CLOEXEC);
    QProcessEnvironment environment = desktop->environment();
    const QString config = environment.value(QStringLiteral("XDG_CONFIG_HOME"), home.path());
    QDir().mkpath(config + QStringLiteral("/Velmora"));
    QFile settings(config + QStringLiteral("/Velmora/Velmora.conf"));
    if (writer < 0 || !settings.open(QIODevice::WriteOnly))
        return false;
    settings.write("[General]\nhasLaunchedBefore=true\nenableAutoUpdates=false\n");
    settings.close();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
    environment.insert(QStringLiteral("VELMORA_INPUT_DEVICES"), QFile::decodeName(fifo));
    VelmoraProcess velmora(environment);
    if (!velmora.start() ||
        velmora.waitForLine(QStringLiteral("Accessibility Permission: ✅ Granted")).isEmpty() ||
        desktop->layout() != russian) {
        std::fprintf(stderr, "velmora did not start on %s\n", qPrintable(name));
        return false;
    }
    std::vector<double> toEnglish, toPrevious;
    for (int i = 0; i < rounds; ++i) {
        writeKey(writer, KEY_LEFTCTRL, true);
        const double pressed = msUntil(*desktop, english, Clock::now());
        writeKey(writer, KEY_LEFTCTRL, false);
        const double released = msUntil(*desktop, russian, Clock::now());
        if (pressed >= 0 && released >= 0)
            toEnglish.push_back(pressed), toPrevious.push_back(released);
    }
    QFile load(QStringLiteral("/proc/loadavg"));
    load.open(QIODevice::ReadOnly);
    std::printf("%s, load average %s\n", qPrintable(name),
                load.readAll().split(' ').mid(0, 3).join(' ').constData());
    print("Ctrl press -> English", toEnglish, rounds);
    print("release -> previous", toPrevious, rounds);
    ::close(writer);
    return velmora.terminate() == 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int rounds = 200;
    QStringList desktops;
    for (const QString& argument : app.arguments().mid(1)) {
        if (argument.startsWith(QLatin1String("--rounds=")))
            rounds = argument.section(u'=', 1).toInt();
        else
            desktops << argument;
    }
    if (desktops.isEmpty())
        desktops = {QStringLiteral("Sway"), QStringLiteral("KWin"), QStringLiteral("Gnome")};
    bool ok = true;
    for (const QString& name : desktops)
        ok = measure(name, rounds) && ok;
    return ok ? 0 : 1;
}
