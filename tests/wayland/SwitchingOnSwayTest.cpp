#include "e2e/VelmoraProcess.h"
#include "platform/sway/SwayTextInputSources.h"
#include "support/WaitUntil.h"
#include "wayland/SwaySession.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/input.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmora;
using namespace velmora::test;

namespace {

constexpr int russian = 0;
constexpr int english = 1;
const QString cyrillicEs = QStringLiteral("0x6d3");
const QString latinC = QStringLiteral("0x63");

// The real velmora on a real headless sway, fed the same key events through
// a FIFO that sway gets from the virtual keyboard.
class SwitchingOnSwayTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!sway.start()) {
            if (qEnvironmentVariable("CI") == QLatin1String("true"))
                FAIL() << "sway cannot start here: " << sway.error().toStdString();
            GTEST_SKIP() << "sway cannot start here: " << sway.error().toStdString();
        }
        const QString fifo = home.filePath(QStringLiteral("keyboard"));
        ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        // Held open for writing from the start, so Velmora never reads an end.
        fifoWriter = ::open(QFile::encodeName(fifo).constData(), O_RDWR | O_CLOEXEC);
        ASSERT_GE(fifoWriter, 0);

        const QString config = home.filePath(QStringLiteral("config"));
        QDir().mkpath(config + QStringLiteral("/Velmora"));
        QFile settings(config + QStringLiteral("/Velmora/Velmora.conf"));
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write("[General]\nenableDebugMode=true\nenableUsageStats=true\nhasLaunchedBefore=true\n");
        settings.close();
        const QString runtime = home.filePath(QStringLiteral("runtime"));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

        QProcessEnvironment environment = sway.clientEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        environment.insert(QStringLiteral("VELMORA_INPUT_DEVICES"), fifo);
        environment.insert(QStringLiteral("VELMORA_UPDATE_FEED_URL"),
                           QStringLiteral("http://127.0.0.1:9/version.json"));
        velmora = std::make_unique<VelmoraProcess>(environment);
        ASSERT_TRUE(velmora->start());
        ASSERT_FALSE(velmora->waitForLine(QStringLiteral("Event tap created successfully")).isEmpty())
            << velmora->lines().join(QLatin1Char('\n')).toStdString();
        ASSERT_EQ(sway.activeLayout(), russian);
    }
    void TearDown() override {
        if (fifoWriter >= 0)
            ::close(fifoWriter);
    }

    // A key as a keyboard sends it: sway has it first, then Velmora's reader.
    void press(int code, bool down) {
        ASSERT_TRUE(sway.press(code, down));
        input_event events[2]{};
        events[0].type = EV_KEY, events[0].code = code, events[0].value = down ? 1 : 0;
        events[1].type = EV_SYN, events[1].code = SYN_REPORT;
        ASSERT_EQ(::write(fifoWriter, events, sizeof events), ssize_t(sizeof events));
    }
    void tap(int code) {
        press(code, true);
        press(code, false);
    }
    bool layoutBecomes(int layout) {
        return waitUntil([&] { return sway.activeLayout() == layout; });
    }

    QTemporaryDir home;
    SwaySession sway;
    int fifoWriter = -1;
    std::unique_ptr<VelmoraProcess> velmora;
};

TEST_F(SwitchingOnSwayTest, CtrlCArrivesLatinAndReleaseRestoresRussian) {
    tap(KEY_C);
    press(KEY_LEFTCTRL, true);
    EXPECT_TRUE(layoutBecomes(english));
    tap(KEY_C);
    press(KEY_LEFTCTRL, false);
    EXPECT_TRUE(layoutBecomes(russian));
    tap(KEY_C);
    EXPECT_TRUE(waitUntil([&] { return sway.keysyms().size() == 3; }));
    EXPECT_EQ(sway.keysyms(), (QStringList{cyrillicEs, latinC, cyrillicEs}));
    EXPECT_FALSE(
        velmora->waitForLine(QStringLiteral("⌨️ Switched to English layout 'English (US)', result: 0"))
            .isEmpty());
}

// The user's own Alt+Shift toggle works with Velmora running. Each Alt press
// reports the layout the previous toggle left, which must be the one sway
// reaches without Velmora: Russian, English, Russian, English.
TEST_F(SwitchingOnSwayTest, UsersAltShiftToggleIsKept) {
    for (int round = 0; round < 3; ++round) {
        press(KEY_LEFTALT, true);
        ASSERT_TRUE(layoutBecomes(english));
        // From English, the toggle's next layout is Russian.
        press(KEY_LEFTSHIFT, true);
        ASSERT_TRUE(layoutBecomes(russian));
        // A person's gap between the keys: sway's report reaches Velmora first.
        settle(50);
        press(KEY_LEFTSHIFT, false);
        press(KEY_LEFTALT, false);
        settle(50);
    }
    press(KEY_LEFTALT, true);
    press(KEY_LEFTALT, false);
    const QString prefix = QStringLiteral("⌨️ Current layout: ");
    auto reported = [&] {
        QStringList names;
        for (const QString& line : velmora->lines())
            if (line.startsWith(prefix))
                names.append(line.mid(prefix.size()));
        return names;
    };
    ASSERT_TRUE(waitUntil([&] { return reported().size() == 4; })) << reported().join(u',').toStdString();
    EXPECT_EQ(reported(), (QStringList{"Russian", "English (US)", "Russian", "English (US)"}));
}

// Whichever of its two connections notices first ends Velmora with status 1:
// the IPC socket with one line, or the Wayland socket, whose loss Qt's
// platform plugin answers by ending the process at once.
TEST_F(SwitchingOnSwayTest, SwayGoneStopsVelmoraWithStatusOne) {
    press(KEY_LEFTCTRL, true);
    ASSERT_TRUE(layoutBecomes(english));
    sway.kill();
    EXPECT_EQ(velmora->waitForExit(), 1);
    const QStringList lines = velmora->lines();
    EXPECT_LE(std::count_if(lines.begin(), lines.end(),
                            [](const QString& l) { return l.startsWith(QStringLiteral("❌")); }),
              1)
        << "one line says why switching stopped\n"
        << lines.join(QLatin1Char('\n')).toStdString();
}

// What the backend tells the engine about a layout change: its own
// selections are not foreign, the user's Alt+Shift toggle is.
TEST(SwayTextInputSourcesTest, UsersToggleIsForeignOwnSelectionIsNot) {
    SwaySession sway;
    if (!sway.start()) {
        if (qEnvironmentVariable("CI") == QLatin1String("true"))
            FAIL() << "sway cannot start here: " << sway.error().toStdString();
        GTEST_SKIP() << "sway cannot start here: " << sway.error().toStdString();
    }
    SwayTextInputSources sources(sway.swaySocket(), [] {});
    const std::optional<QList<InputSourceRef>> list = sources.createInputSourceList();
    ASSERT_TRUE(list && list->size() == 2);
    EXPECT_EQ(list->at(0)->identifier, QStringLiteral("ru"));
    EXPECT_EQ(list->at(1)->identifier, QStringLiteral("us"));
    auto current = [&] { return sources.copyCurrentKeyboardInputSource()->handle; };
    ASSERT_EQ(sources.selectInputSource(list->at(english)), 0);
    EXPECT_TRUE(waitUntil([&] { return sway.activeLayout() == english; }));
    settle(); // sway's report of the switch comes in
    EXPECT_EQ(current(), english);
    EXPECT_EQ(sources.foreignChangeSinceLastSelection().kind, ForeignLayoutChange::Kind::none);
    ASSERT_TRUE(sway.press(KEY_LEFTALT, true) && sway.press(KEY_LEFTSHIFT, true));
    EXPECT_TRUE(waitUntil([&] { return current() == russian; }));
    const ForeignLayoutChange change = sources.foreignChangeSinceLastSelection();
    EXPECT_EQ(change.kind, ForeignLayoutChange::Kind::relative);
    EXPECT_EQ(change.steps, 1);
    ASSERT_TRUE(sway.press(KEY_LEFTSHIFT, false) && sway.press(KEY_LEFTALT, false));
}

} // namespace
