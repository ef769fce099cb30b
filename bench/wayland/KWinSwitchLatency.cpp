// Measures, on a private headless KWin, how fast the switching engine on the
// KWin backend reacts, as another D-Bus client sees it: trigger press written
// to the evdev stream -> KWin's layoutChanged signal for English (and the
// release -> the previous layout), beside a bare client that only calls
// setLayout (the least any switcher can take). The velmora program runs as in
// a session, reading its key events from a FIFO. Figures are printed;
// nothing is asserted.
#include "LatencyFigures.h"
#include "platform/kde/KWinKeyboardLayouts.h"
#include "wayland/FifoVelmora.h"
#include "wayland/KWinSession.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <linux/input.h>
#include <vector>

using namespace velmora;
using namespace velmora::bench;

namespace {

constexpr uint russian = 0;
constexpr uint english = 1;


// Another client of KWin's interface, timing each layoutChanged it hears.
class Observer {
public:
    explicit Observer(const QDBusConnection& bus) : kwin_(bus, 2000) {
        QObject::connect(&kwin_, &KWinKeyboardLayouts::layoutChanged, &kwin_, [this](uint index) {
            layout_ = index;
            at_ = Clock::now();
        });
    }
    KWinKeyboardLayouts& kwin() { return kwin_; }
    // Runs the event loop until KWin announces the layout; nothing after 2 s.
    std::optional<Clock::time_point> waitForLayout(uint layout) {
        const Clock::time_point deadline = Clock::now() + std::chrono::seconds(2);
        while (layout_ != layout && Clock::now() < deadline)
            QCoreApplication::processEvents();
        if (layout_ != layout)
            return std::nullopt;
        return at_;
    }

private:
    KWinKeyboardLayouts kwin_;
    uint layout_ = russian;
    Clock::time_point at_;
};

void measureVelmora(Observer& observer, test::FifoVelmora& velmora, int presses) {
    std::vector<double> toEnglish, toPrevious;
    for (int i = 0; i < presses; ++i) {
        const Clock::time_point pressed = Clock::now();
        velmora.writeKey(KEY_LEFTCTRL, true);
        const std::optional<Clock::time_point> switched = observer.waitForLayout(english);
        const Clock::time_point released = Clock::now();
        velmora.writeKey(KEY_LEFTCTRL, false);
        const std::optional<Clock::time_point> restored = observer.waitForLayout(russian);
        if (switched && restored) {
            toEnglish.push_back(micro(*switched - pressed));
            toPrevious.push_back(micro(*restored - released));
        }
    }
    print("Velmora: Ctrl press -> layoutChanged(English)", toEnglish);
    print("Velmora: Ctrl release -> layoutChanged(prev.)", toPrevious);
}

void measureBareClient(Observer& observer, int presses) {
    std::vector<double> switches;
    for (int i = 0; i < presses; ++i)
        for (uint layout : {english, russian}) {
            const Clock::time_point sent = Clock::now();
            observer.kwin().asyncCall(QStringLiteral("setLayout"), layout);
            if (const std::optional<Clock::time_point> at = observer.waitForLayout(layout))
                switches.push_back(micro(*at - sent));
        }
    print("bare D-Bus client: setLayout -> layoutChanged", switches);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int presses = 1000;
    for (const QString& argument : app.arguments())
        if (argument.startsWith(QLatin1String("--presses=")))
            presses = argument.section(QLatin1Char('='), 1).toInt();
    test::KWinSession kwin;
    if (!kwin.start()) {
        std::fprintf(stderr, "KWin cannot start: %s\n", qPrintable(kwin.error()));
        return 1;
    }
    QProcessEnvironment environment = kwin.clientEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    test::FifoVelmora velmora;
    if (!velmora.start(environment, "enableAutoUpdates=false\n", kwin.configHome())) {
        std::fprintf(stderr, "velmora did not start\n");
        return 1;
    }
    Observer observer(kwin.bus());
    QFile load(QStringLiteral("/proc/loadavg"));
    load.open(QIODevice::ReadOnly);
    std::printf("headless KWin, the velmora program fed through a FIFO, %d presses, load average %s\n",
                presses, load.readAll().split(' ').mid(0, 3).join(' ').constData());
    measureVelmora(observer, velmora, presses);
    measureBareClient(observer, presses);
    return velmora.process().terminate() == 0 ? 0 : 1;
}
