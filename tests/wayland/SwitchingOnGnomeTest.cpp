#include "e2e/VelmoraProcess.h"
#include "platform/gnome/GnomeAccessibilityTrust.h"
#include "platform/gnome/GnomeTextInputSources.h"
#include "support/WaitUntil.h"
#include "wayland/GnomeShellSession.h"

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
const QString russianFirst = QStringLiteral("[('xkb', 'ru'), ('xkb', 'us')]");
const QString englishFirst = QStringLiteral("[('xkb', 'us'), ('xkb', 'ru')]");

TEST(GnomeTextInputSourcesTest, IdentifiersFromGnomeIds) {
    const struct {
        const char* type;
        const char* id;
        std::optional<QString> identifier;
    } cases[] = {{"xkb", "us", QStringLiteral("us")},
                 {"xkb", "us+intl", QStringLiteral("us(intl)")},
                 {"xkb", "de+nodeadkeys", QStringLiteral("de(nodeadkeys)")},
                 {"ibus", "xkb:us::eng", QStringLiteral("xkb:us::eng")},
                 {"ibus", "mozc-jp", QStringLiteral("mozc-jp")},
                 {"xkb", "", std::nullopt}};
    for (const auto& c : cases)
        EXPECT_EQ(GnomeTextInputSources::identifierFor(QLatin1String(c.type), QLatin1String(c.id)),
                  c.identifier)
            << c.id;
}

class GnomeShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!shell.start()) {
            if (qEnvironmentVariable("CI") == QLatin1String("true"))
                FAIL() << "GNOME Shell cannot start here: " << shell.error().toStdString();
            GTEST_SKIP() << "GNOME Shell cannot start here: " << shell.error().toStdString();
        }
    }
    bool sourceBecomes(int index) {
        return waitUntil([&] { return shell.currentSource() == index; });
    }

    GnomeShellSession shell;
};

// What the backend makes of GNOME's sources and of each kind of change.
TEST_F(GnomeShellTest, ListsSourcesAndTellsStepsFromSelections) {
    GnomeTextInputSources sources(shell.bus());
    const std::optional<QList<InputSourceRef>> list = sources.createInputSourceList();
    ASSERT_TRUE(list && list->size() == 2);
    EXPECT_EQ(list->at(russian)->identifier, QStringLiteral("ru"));
    EXPECT_EQ(list->at(russian)->localizedName, QStringLiteral("Russian"));
    EXPECT_EQ(list->at(english)->identifier, QStringLiteral("us"));
    EXPECT_EQ(list->at(english)->localizedName, QStringLiteral("English (US)"));
    auto current = [&] { return sources.copyCurrentKeyboardInputSource()->handle; };
    EXPECT_EQ(current(), russian);

    ASSERT_EQ(sources.selectInputSource(list->at(english)), 0);
    EXPECT_EQ(shell.currentSource(), english);
    settle(); // the shell's report of the switch comes in
    EXPECT_EQ(current(), english);
    EXPECT_EQ(sources.foreignChangeSinceLastSelection().kind, ForeignLayoutChange::Kind::none);

    // GNOME's switcher: Super+Space, settled when Super is released.
    for (const auto& [code, down] :
         {std::pair{KEY_LEFTMETA, true}, {KEY_SPACE, true}, {KEY_SPACE, false}, {KEY_LEFTMETA, false}})
        ASSERT_TRUE(shell.press(code, down));
    EXPECT_TRUE(waitUntil([&] { return current() == russian; }));
    ForeignLayoutChange change = sources.foreignChangeSinceLastSelection();
    EXPECT_EQ(change.kind, ForeignLayoutChange::Kind::relative);
    EXPECT_EQ(change.steps, 1);

    // Another client of the extension (here: the indicator's equivalent) selects.
    ASSERT_EQ(sources.selectInputSource(list->at(english)), 0);
    settle();
    GnomeTextInputSources other(shell.bus());
    ASSERT_EQ(other.selectInputSource(other.createInputSourceList()->at(russian)), 0);
    EXPECT_TRUE(waitUntil([&] { return current() == russian; }));
    EXPECT_EQ(sources.foreignChangeSinceLastSelection().kind, ForeignLayoutChange::Kind::selection);
}

// An extension installed but off is turned on once; after that it is the
// user's choice, and the reason says where to turn it on.
TEST_F(GnomeShellTest, TurnsTheExtensionOnOnceAndSaysWhenOnlyANewLoginHelps) {
    GnomeAccessibilityTrust trust(nullptr, shell.bus());
    ASSERT_TRUE(shell.extensionsCall(QStringLiteral("DisableExtension")));
    EXPECT_TRUE(trust.isProcessTrusted()) << trust.untrustedReason().toStdString();
    EXPECT_EQ(shell.currentSource(), russian) << "the extension answers again";
    ASSERT_TRUE(shell.extensionsCall(QStringLiteral("DisableExtension")));
    EXPECT_FALSE(trust.isProcessTrusted());
    EXPECT_TRUE(trust.untrustedReason().contains(QLatin1String("turn it on in GNOME's Extensions app")))
        << trust.untrustedReason().toStdString();
    // Gone from the shell, as one installed after it started: only a new login helps.
    ASSERT_TRUE(shell.extensionsCall(QStringLiteral("UninstallExtension")));
    EXPECT_FALSE(trust.isProcessTrusted());
    EXPECT_TRUE(trust.untrustedReason().contains(QLatin1String("log out and back in")))
        << trust.untrustedReason().toStdString();
}

// The real velmora in the shell's session, fed the same key events through
// a FIFO that the shell gets from Mutter's remote desktop.
class VelmoraOnGnomeTest : public GnomeShellTest {
protected:
    void SetUp() override {
        GnomeShellTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        const QString fifo = home.filePath(QStringLiteral("keyboard"));
        ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        fifoWriter = ::open(QFile::encodeName(fifo).constData(), O_RDWR | O_CLOEXEC);
        ASSERT_GE(fifoWriter, 0);
        QDir().mkpath(home.filePath(QStringLiteral("Velmora")));
        QFile settings(home.filePath(QStringLiteral("Velmora/Velmora.conf")));
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write("[General]\nenableDebugMode=true\nhasLaunchedBefore=true\n");
        settings.close();
        QProcessEnvironment environment = shell.clientEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
        environment.insert(QStringLiteral("VELMORA_INPUT_DEVICES"), fifo);
        environment.insert(QStringLiteral("VELMORA_UPDATE_FEED_URL"),
                           QStringLiteral("http://127.0.0.1:9/version.json"));
        velmora = std::make_unique<VelmoraProcess>(environment);
        ASSERT_TRUE(velmora->start());
        ASSERT_FALSE(velmora->waitForLine(QStringLiteral("Event tap created successfully")).isEmpty())
            << velmora->lines().join(QLatin1Char('\n')).toStdString();
    }
    void TearDown() override {
        if (fifoWriter >= 0)
            ::close(fifoWriter);
    }

    // A key as a keyboard sends it: the shell has it first, then Velmora's reader.
    void press(int code, bool down) {
        ASSERT_TRUE(shell.press(code, down));
        input_event events[2]{};
        events[0].type = EV_KEY, events[0].code = code, events[0].value = down ? 1 : 0;
        events[1].type = EV_SYN, events[1].code = SYN_REPORT;
        ASSERT_EQ(::write(fifoWriter, events, sizeof events), ssize_t(sizeof events));
    }
    bool mruBecomes(const QString& order) {
        return waitUntil([&] {
            return shell.setting(QStringLiteral("org.gnome.desktop.input-sources"),
                                 QStringLiteral("mru-sources")) == order;
        });
    }
    std::string output() { return velmora->lines().join(QLatin1Char('\n')).toStdString(); }

    QTemporaryDir home;
    int fifoWriter = -1;
    std::unique_ptr<VelmoraProcess> velmora;
};

struct HoldCase {
    const char* name;
    int trigger;
    QList<int> tapsDuringHold;
    int sourceAfterRelease;
    const char* line;
};

void PrintTo(const HoldCase& hold, std::ostream* out) {
    *out << hold.name;
}

class HoldOnGnomeTest : public VelmoraOnGnomeTest, public ::testing::WithParamInterface<HoldCase> {};

TEST_P(HoldOnGnomeTest, EnglishWhileHeldThenTheRightSource) {
    const HoldCase& hold = GetParam();
    press(hold.trigger, true);
    EXPECT_TRUE(sourceBecomes(english)) << output();
    EXPECT_TRUE(mruBecomes(englishFirst));
    for (const int code : hold.tapsDuringHold) {
        press(code, true);
        press(code, false);
    }
    // The shell settles its switcher on the release, before Velmora sees it.
    ASSERT_TRUE(shell.press(hold.trigger, false));
    if (!hold.tapsDuringHold.isEmpty()) {
        EXPECT_TRUE(sourceBecomes(russian));
        settle();
    }
    press(hold.trigger, false);
    EXPECT_FALSE(velmora->waitForLine(QString::fromUtf8(hold.line)).isEmpty()) << output();
    EXPECT_TRUE(sourceBecomes(hold.sourceAfterRelease));
    EXPECT_TRUE(mruBecomes(hold.sourceAfterRelease == russian ? russianFirst : englishFirst));
}

INSTANTIATE_TEST_SUITE_P(
    Holds, HoldOnGnomeTest,
    ::testing::Values(HoldCase{"CtrlBringsEnglishThenRussianBack",
                               KEY_LEFTCTRL,
                               {},
                               russian,
                               "⌨️ Switched to English layout 'English (US)', result: 0"},
                      // Super+Space from Russian meant the next source, English.
                      HoldCase{"SuperSpaceStepsFromTheUsersSource",
                               KEY_LEFTMETA,
                               {KEY_SPACE},
                               english,
                               "Kept layout us: switched 1 step(s) from ru during the hold"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(VelmoraOnGnomeTest, ExtensionTurnedOffLeavesLayoutsAloneUntilItIsBack) {
    ASSERT_TRUE(shell.extensionsCall(QStringLiteral("DisableExtension")));
    EXPECT_FALSE(
        velmora->waitForLine(QStringLiteral("⚠️ GNOME Shell's Velmora extension stopped")).isEmpty());
    press(KEY_LEFTCTRL, true);
    press(KEY_LEFTCTRL, false);
    settle(); // Velmora has read the hold before the extension returns
    ASSERT_TRUE(shell.extensionsCall(QStringLiteral("EnableExtension")));
    EXPECT_FALSE(velmora->waitForLine(QStringLiteral("✅ GNOME Shell's Velmora extension is back")).isEmpty());
    EXPECT_EQ(shell.currentSource(), russian);
    press(KEY_LEFTCTRL, true);
    EXPECT_TRUE(sourceBecomes(english)) << output();
    press(KEY_LEFTCTRL, false);
    EXPECT_TRUE(sourceBecomes(russian));
}

TEST_F(VelmoraOnGnomeTest, ShellGoneStopsVelmoraWithStatusOne) {
    press(KEY_LEFTCTRL, true);
    ASSERT_TRUE(sourceBecomes(english));
    shell.stop();
    EXPECT_EQ(velmora->waitForExit(), 1);
    const QStringList lines = velmora->lines();
    EXPECT_LE(std::count_if(lines.begin(), lines.end(),
                            [](const QString& l) { return l.startsWith(QStringLiteral("❌")); }),
              1)
        << output();
}

} // namespace
