// The real velmora binary on a private Xvfb, read through its standard output.
#include "e2e/VelmoraProcess.h"
#include "support/EvdevKeycodes.h"
#include "support/Files.h"
#include "support/LocalHttpServer.h"
#include "support/WaitUntil.h"
#include "support/XkbProbe.h"
#include "support/XvfbServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRect>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora::test;

namespace {

class ApplicationEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Room for the welcome window and its frame.
        if (!server.start({1024, 768}))
            GTEST_SKIP() << "Xvfb cannot start here: " << server.error().toStdString();
        probe = std::make_unique<XkbProbe>(server.display());
        ASSERT_TRUE(server.setLayouts(QStringLiteral("ru,us")) && probe->isConnected());
        writeFile("config/Velmora/Velmora.conf", "[General]\nenableDebugMode=true\nenableUsageStats=true\n");
    }
    void writeFile(const QString& path, const QByteArray& text) {
        ASSERT_TRUE(velmora::test::writeFile(home.filePath(path), text));
    }
    std::unique_ptr<VelmoraProcess> process() {
        // A temporary folder is private, as a runtime folder must be.
        return std::make_unique<VelmoraProcess>(server.display(), home.filePath("config"), home.path());
    }
    std::unique_ptr<VelmoraProcess> launch(const QStringList& arguments = {}) {
        auto velmora = process();
        EXPECT_TRUE(velmora->start(arguments));
        return velmora;
    }
    // Ctrl held and released on the real keyboard, with the layout seen at each step.
    bool switchesWithControl() {
        probe->press(Keycode::leftControl);
        const bool english = waitUntil([&] { return probe->currentGroup() == 1; });
        probe->release(Keycode::leftControl);
        return english && waitUntil([&] { return probe->currentGroup() == 0; });
    }

    XvfbServer server;
    QTemporaryDir home;
    std::unique_ptr<XkbProbe> probe;
};

// Of two first launches one leaves. The next start switches; with no tray a reopen opens the preferences; a
// layout chosen from outside applies at the next press; the display going away ends it (status 1).
TEST_F(ApplicationEndToEndTest, TwoFirstLaunchesLeaveOneRunningAndTheNextStartSwitches) {
    auto first = process(), second = process();
    ASSERT_TRUE(first->start() && second->start());
    ASSERT_TRUE(waitUntil(
        [&] { return first->hasLine("already running") || second->hasLine("already running"); }, 20000));
    VelmoraProcess& left = first->hasLine("already running") ? *first : *second;
    VelmoraProcess& running = &left == first.get() ? *second : *first;
    EXPECT_EQ(left.waitForExit(), 0);
    EXPECT_FALSE(running.waitForLine("Application finished launching").isEmpty());
    EXPECT_TRUE(running.hasLine("First launch detected - showing onboarding"));
    EXPECT_FALSE(running.hasLine("already running") || running.hasLine("Event tap created"));
    EXPECT_TRUE(QFileInfo::exists(home.filePath("config/autostart/velmora.desktop")));
    ASSERT_EQ(running.terminate(), 0);

    auto velmora = launch();
    ASSERT_FALSE(velmora->waitForLine("Event tap created successfully").isEmpty());
    ASSERT_FALSE(velmora->waitForLine("Application finished launching").isEmpty());
    EXPECT_TRUE(switchesWithControl());
    EXPECT_FALSE(
        velmora->waitForLine("⌨️ Switched to English layout 'English (US)', result: 0").isEmpty());
    // Usage events, on in these settings, line by line as the trace prints them.
    ASSERT_FALSE(velmora->waitForLine(R"(   Parameters: ["direction": "to_previous"])").isEmpty());
    EXPECT_TRUE(velmora->lines().join('\n').contains(
        QRegularExpression(R"(\n📊 \[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\] Analytics: layout_switched\n)"
                           R"(   Parameters: \["direction": "to_english"\]\n)")));
    EXPECT_EQ(launch()->waitForExit(), 0);
    EXPECT_FALSE(velmora->waitForLine("Preferences window created").isEmpty());

    ASSERT_TRUE(server.setLayouts("ru,us,gb"));
    ASSERT_EQ(launch({"defaults", "delete", "enableUsageStats"})->waitForExit(), 0); // off, as by default
    ASSERT_EQ(launch({"defaults", "write", "shortcutLayout", "-string", "gb"})->waitForExit(), 0);
    EXPECT_TRUE(waitUntil([&] {
        probe->type(Keycode::leftControl);
        probe->sync();
        return velmora->hasLine("⌨️ Switched to English layout 'English (UK)', result: 0");
    }));
    EXPECT_FALSE(waitUntil( // the switch's usage line would come right after it
        [&] { return velmora->lines().join('\n').section("(UK)', result: 0", 1).contains("📊"); }, 2000));
    auto list = launch({"--list-input-sources"});
    ASSERT_EQ(list->waitForExit(), 0);
    EXPECT_TRUE(list->hasLine("   gb: English (UK) [for shortcuts]"))
        << list->lines().join('\n').toStdString();
    server.kill();
    EXPECT_EQ(velmora->waitForExit(15000), 1);
}

// xdotool on the test display: its output, one word per item.
QStringList xdotool(const QByteArray& display, const QStringList& arguments) {
    QProcess tool;
    tool.setEnvironment(QProcess::systemEnvironment() << "DISPLAY=" + QString::fromLatin1(display));
    tool.start("xdotool", arguments);
    tool.waitForFinished(10000);
    return QString::fromUtf8(tool.readAllStandardOutput())
        .split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
}

// The process's first visible window, not `except`, of a width in [minimum, maximum]: {id, x, y, w, h}.
QList<int> windowOf(const QByteArray& display, qint64 pid, int minimum, int maximum, int except = 0) {
    for (const QString& id : xdotool(display, {"search", "--onlyvisible", "--pid", QString::number(pid)})) {
        QList<int> window{id.toInt()};
        for (const QString& word : xdotool(display, {"getwindowgeometry", "--shell", id}))
            if (word.contains(QRegularExpression("^(X|Y|WIDTH|HEIGHT)=")))
                window.append(word.section('=', 1).toInt());
        if (window.size() == 5 && window[0] != except && window[3] >= minimum && window[3] <= maximum)
            return window;
    }
    return {};
}

// The welcome as the trace last placed it: "window" (its size) and each visible button's place by name.
QMap<QString, QRect> welcomeLayout(VelmoraProcess& velmora) {
    QMap<QString, QRect> places;
    const QStringList traced = velmora.lines().filter("Onboarding layout: ");
    const QRegularExpression place("(\\w+) (?:(\\d+),(\\d+) )?(\\d+)x(\\d+)");
    for (auto it = place.globalMatch(traced.isEmpty() ? QString() : traced.last()); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        places.insert(match.captured(1), QRect(match.captured(2).toInt(), match.captured(3).toInt(),
                                               match.captured(4).toInt(), match.captured(5).toInt()));
    }
    return places;
}

// Under openbox the welcome opens at its own size, buttons inside, works by mouse and keys, follows a
// resize into the limits, and every way out (Get Started, Skip, Escape, closing) leaves Ctrl switching.
TEST_F(ApplicationEndToEndTest, WelcomeUnderAWindowManager) {
    for (const char* tool : {"openbox", "xdotool", "xprop"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            GTEST_SKIP() << tool << " is missing: run scripts/bootstrap --tests";
    if (!server.startWindowManager())
        GTEST_SKIP() << server.error().toStdString();
    // A step: an xdotool command ("click NAME": a button; %1: the window), what the next layout matches.
    const struct {
        const char* name;
        QList<std::pair<QString, QString>> steps;
    } cases[] = {
        {"MouseGetStarted", {{"click primaryButton", "backButton \\d"}, {"click primaryButton", ""}}},
        {"KeyboardBackAndSkip",
         {{"key Return", "backButton \\d"},
          {"key shift+Tab", ""},
          {"key Return", "backButton hidden"},
          {"key Tab", ""},
          {"key Return", ""}}},
        {"MouseBackThenEscape",
         {{"click primaryButton", "backButton \\d"},
          {"click backButton", "backButton hidden"},
          {"key Escape", ""}}},
        {"ResizedThenClosedByTheWindowManager",
         {{"windowsize %1 600 450", "window 600x450"},
          {"windowsize %1 900 700", "window 750x550"},
          {"key alt+F4", ""}}},
    };
    const QByteArray display = server.display();
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        writeFile("config/Velmora/Velmora.conf", "[General]\nenableDebugMode=true\n");
        auto velmora = launch();
        QList<int> window;
        ASSERT_TRUE(waitUntil(
            [&] { return !(window = windowOf(display, velmora->processId(), 300, 1000)).isEmpty(); }, 20000));
        EXPECT_EQ(QSize(window[3], window[4]), QSize(500, 600)) << "as X has it";
        const QString id = QString::number(window[0]);
        xdotool(display, {"windowactivate", "--sync", id});
        ASSERT_TRUE(waitUntil([&] { return welcomeLayout(*velmora).contains("skipButton"); }));
        for (const auto& [step, expected] : row.steps) {
            QStringList command = QString(step).replace("%1", id).split(' ');
            if (command[0] == "click") {
                const QPoint at = welcomeLayout(*velmora).value(command[1]).center();
                command = {"mousemove", "--window", id, QString::number(at.x()), QString::number(at.y()),
                           "click",     "1"};
            }
            const qsizetype traced = velmora->lines().filter("Onboarding layout: ").size();
            xdotool(display, command);
            EXPECT_TRUE(expected.isEmpty() || waitUntil([&] {
                            const QStringList lines = velmora->lines().filter("Onboarding layout: ");
                            return lines.size() > traced &&
                                   lines.last().contains(QRegularExpression(expected));
                        }))
                << step.toStdString() << ": "
                << velmora->lines().filter("Onboarding layout").join('\n').toStdString();
            const QMap<QString, QRect> places = welcomeLayout(*velmora);
            for (const QRect& place : places)
                EXPECT_TRUE(places.value("window").contains(place)) << step.toStdString();
        }
        EXPECT_FALSE(velmora->waitForLine("Onboarding window closing").isEmpty());
        EXPECT_FALSE(velmora->waitForLine("Event tap created successfully").isEmpty());
        EXPECT_TRUE(switchesWithControl());
        EXPECT_EQ(velmora->terminate(), 0);
    }
}

// An update taken from the tray menu: the unsigned package is refused; SIGTERM under that alert ends cleanly.
TEST_F(ApplicationEndToEndTest, UpdateChosenFromTheTrayMenuIsDownloadedAndChecked) {
    for (const char* tool : {"trayer", "xdotool"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            GTEST_SKIP() << tool << " is missing: run scripts/bootstrap";
    const int slow = VelmoraProcess::slowdown();
    LocalHttpServer http;
    ASSERT_TRUE(http.start());
    http.answer("/version.json", {.body = R"({"name": "Velmora", "version": "99.0", "url": ")" +
                                          http.url("/velmora.deb").toEncoded() + R"("})"});
    // Slow enough that the menu's download row is redrawn while it runs.
    http.answer("/velmora.deb",
                {.body = QByteArray(256 * 1024, 'p'), .chunkSize = 16 * 1024, .chunkIntervalMs = 20});
    writeFile("config/Velmora/Velmora.conf", "[General]\nhasLaunchedBefore=true\nenableDebugMode=true\n");
    const QString downloads = home.filePath("Downloads");
    writeFile("config/user-dirs.dirs", "XDG_DOWNLOAD_DIR=\"" + downloads.toUtf8() + "\"\n");
    QDir().mkpath(downloads);
    // The desktop's opener is replaced by one that only notes what it was given.
    writeFile("bin/xdg-open", "#!/bin/sh\necho \"$1\" >> \"$(dirname \"$0\")/opened\"\n");
    QFile::setPermissions(home.filePath("bin/xdg-open"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QProcess tray;
    tray.setEnvironment(QProcess::systemEnvironment() << "DISPLAY=" + QString::fromLatin1(server.display()));
    tray.start("trayer", {"--edge", "top", "--align", "right", "--widthtype", "request", "--height", "28"});
    ASSERT_TRUE(tray.waitForStarted());

    auto velmora = process();
    velmora->setEnvironment("VELMORA_UPDATE_FEED_URL", http.url("/version.json").toString());
    velmora->setEnvironment("PATH", home.filePath("bin") + ':' + qEnvironmentVariable("PATH"));
    // No session bus: the icon docks in the tray host on the display.
    velmora->setEnvironment("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    ASSERT_TRUE(velmora->start());
    ASSERT_FALSE(velmora->waitForLine("Received version info: 99.0", 30000 * slow).isEmpty());
    const QByteArray display = server.display();
    const qint64 pid = velmora->processId();
    QList<int> icon;
    ASSERT_TRUE(waitUntil([&] { return !(icon = windowOf(display, pid, 8, 64)).isEmpty(); }, 10000 * slow));
    // A click low on the icon leaves the menu in view. A menu opened before the check ended lacks the update
    // row, so it is opened again; a slip onto the support row below only opens the support page.
    QList<int> alert;
    for (int attempt = 0; attempt < 5 && alert.isEmpty(); ++attempt) {
        xdotool(display, {"key", "Escape", "mousemove", QString::number(icon[1] + icon[3] / 2),
                          QString::number(icon[2] + icon[4] - 2), "click", "3"});
        QList<int> menu;
        ASSERT_TRUE(
            waitUntil([&] { return !(menu = windowOf(display, pid, 100, 600)).isEmpty(); }, 5000 * slow));
        // The menu has the keyboard once nobody else can grab it (a grab ends with its connection).
        waitUntil([&] { return !XkbProbe(display).grabKeyboard(); }, 2000 * slow);
        xdotool(display, {"key", "--delay", QString::number(100 * slow), "Down", "Down", "Return"});
        waitUntil([&] { return !(alert = windowOf(display, pid, 250, 1200, menu[0])).isEmpty(); },
                  3000 * slow);
    }
    ASSERT_FALSE(alert.isEmpty()) << velmora->lines().join('\n').toStdString();
    // Download is the alert's default button.
    xdotool(display, {"windowfocus", "--sync", QString::number(alert[0]), "key", "Return"});
    EXPECT_FALSE(velmora->waitForLine("Download completed: ", 30000 * slow).isEmpty());
    // The feed carries no signature: the package is removed unopened, and an alert says so.
    EXPECT_FALSE(velmora->waitForLine("gives no sha256 digest", 10000 * slow).isEmpty());
    EXPECT_TRUE(waitUntil([&] { return !windowOf(display, pid, 250, 1200).isEmpty(); }, 10000 * slow));
    EXPECT_EQ(QDir(downloads).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    EXPECT_FALSE(readFile(home.filePath("bin/opened")).contains(downloads.toUtf8()));
    EXPECT_EQ(velmora->terminate(30000 * slow), 0);
    EXPECT_TRUE(velmora->hasLine("Event tap disabled and invalidated"));
    EXPECT_TRUE(velmora->hasLine("Cleanup completed"));
    tray.kill();
    tray.waitForFinished();
}

} // namespace
