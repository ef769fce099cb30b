// Measures, on Cinnamon 6.6 of the unstable root filesystem running on a
// private Xvfb (the desktop of the Cinnamon tests), how fast the real velmora
// program gets a layout selected: Ctrl pressed through XTest -> Cinnamon
// announces CurrentInputSourceChanged("us"); release -> ("ru"). Beside it,
// a bare client's ActivateInputSourceIndex sent -> the same signal, which is
// the floor any client of Cinnamon has. Figures are printed; nothing is asserted.
//   velmora_cinnamon_latency [--rounds=N] [--desktop=Cinnamon/sid]
#include "e2e/VelmoraProcess.h"
#include "wayland/Desktops.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QObject>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <linux/input.h>
#include <vector>

using namespace velmora::test;
using Clock = std::chrono::steady_clock;

namespace {

// Cinnamon's announcements, each with the moment it was read.
class Announcements : public QObject {
    Q_OBJECT
public:
    QString last;
    Clock::time_point at;

public Q_SLOTS:
    void changed(const QString& id) { last = id, at = Clock::now(); }
};

// Milliseconds from `since` until Cinnamon announces the source, or -1 after 2 s.
double msUntil(Announcements& heard, const QString& id, Clock::time_point since) {
    while (heard.last != id || heard.at < since) {
        if (Clock::now() - since > std::chrono::seconds(2))
            return -1;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return std::chrono::duration<double, std::milli>(heard.at - since).count();
}

void print(const char* label, std::vector<double> values, int rounds) {
    std::sort(values.begin(), values.end());
    const auto at = [&](double fraction) {
        return values[size_t(fraction * double(values.size() - 1) + 0.5)];
    };
    if (values.empty())
        std::printf("  %-34s no change seen in %d rounds\n", label, rounds);
    else
        std::printf("  %-34s median %7.2f ms   p99 %7.2f ms   (%zu of %d rounds)\n", label, at(0.5), at(0.99),
                    values.size(), rounds);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int rounds = 200;
    QString name = QStringLiteral("Cinnamon/sid");
    for (const QString& argument : app.arguments().mid(1)) {
        if (argument.startsWith(QLatin1String("--rounds=")))
            rounds = argument.section(u'=', 1).toInt();
        else if (argument.startsWith(QLatin1String("--desktop=")))
            name = argument.section(u'=', 1);
    }
    const std::unique_ptr<Desktop> desktop = Desktop::create(name);
    if (!desktop->start()) {
        std::fprintf(stderr, "%s cannot start: %s\n", qPrintable(name), qPrintable(desktop->error()));
        return 1;
    }
    QProcessEnvironment environment = desktop->environment();
    const QString address = environment.value(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    QDBusConnection bus = QDBusConnection::connectToBus(address, QStringLiteral("bench"));
    Announcements heard;
    bus.connect("org.Cinnamon", "/org/Cinnamon", "org.Cinnamon", "CurrentInputSourceChanged", &heard,
                SLOT(changed(QString)));

    std::vector<double> bareEnglish, bareBack;
    for (int i = 0; i < rounds; ++i) {
        for (const auto& [index, id, figures] :
             {std::tuple{1, "us", &bareEnglish}, std::tuple{0, "ru", &bareBack}}) {
            QDBusMessage call = QDBusMessage::createMethodCall("org.Cinnamon", "/org/Cinnamon",
                                                               "org.Cinnamon", "ActivateInputSourceIndex");
            call.setArguments({index});
            const Clock::time_point sent = Clock::now();
            bus.send(call);
            if (const double ms = msUntil(heard, QLatin1String(id), sent); ms >= 0)
                figures->push_back(ms);
        }
    }

    QTemporaryDir home;
    QDir().mkpath(home.filePath(QStringLiteral("Velmora")));
    QFile settings(home.filePath(QStringLiteral("Velmora/Velmora.conf")));
    if (!settings.open(QIODevice::WriteOnly))
        return 1;
    settings.write("[General]\nhasLaunchedBefore=true\nenableAutoUpdates=false\n");
    settings.close();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
    VelmoraProcess velmora(environment);
    if (!velmora.start() ||
        velmora.waitForLine(QStringLiteral("Accessibility Permission: ✅ Granted")).isEmpty()) {
        std::fprintf(stderr, "velmora did not start on %s\n", qPrintable(name));
        return 1;
    }
    std::vector<double> toEnglish, toPrevious;
    for (int i = 0; i < rounds; ++i) {
        Clock::time_point since = Clock::now();
        desktop->typeKey(KEY_LEFTCTRL, true);
        const double pressed = msUntil(heard, QStringLiteral("us"), since);
        since = Clock::now();
        desktop->typeKey(KEY_LEFTCTRL, false);
        const double released = msUntil(heard, QStringLiteral("ru"), since);
        if (pressed >= 0 && released >= 0)
            toEnglish.push_back(pressed), toPrevious.push_back(released);
    }
    QFile load(QStringLiteral("/proc/loadavg"));
    load.open(QIODevice::ReadOnly);
    std::printf("%s, load average %s\n", qPrintable(name),
                load.readAll().split(' ').mid(0, 3).join(' ').constData());
    print("Ctrl press -> CurrentInputSource", toEnglish, rounds);
    print("release -> previous source", toPrevious, rounds);
    print("bare ActivateInputSourceIndex(us)", bareEnglish, rounds);
    print("bare ActivateInputSourceIndex(ru)", bareBack, rounds);
    QDBusConnection::disconnectFromBus(QStringLiteral("bench"));
    return velmora.terminate() == 0 ? 0 : 1;
}

#include "CinnamonSwitchLatency.moc"
