#include "app/PlatformFactory.h"
#include "app/QtPlatformChoice.h"
#include "app/SingleInstance.h"
#include "platform/qt/QtAlertPresenter.h"
#include "platform/qt/QtWorkspace.h"
#include "support/Files.h"
#include "support/WaitUntil.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVirtualObject>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

using namespace velmora;

namespace {

// "NAME=value NAME=value" as a session's environment.
QProcessEnvironment environment(const char* variables) {
    QProcessEnvironment result;
    for (const QString& variable : QString::fromLatin1(variables).split(' ', Qt::SkipEmptyParts))
        result.insert(variable.section('=', 0, 0), variable.section('=', 1));
    return result;
}

TEST(KeyboardBackendTest, FollowsTheSession) {
    const struct {
        const char* environment;
        KeyboardBackend backend;
        QString onSessionBus = {}; // the one service with its name there
    } cases[] = {
        {"DISPLAY=:0 XDG_SESSION_TYPE=x11", KeyboardBackend::x11},
        {"DISPLAY=:0 WAYLAND_DISPLAY=wayland-1 SWAYSOCK=/run/s", KeyboardBackend::sway},
        {"DISPLAY=:0 WAYLAND_DISPLAY=wayland-0", KeyboardBackend::unsupportedWayland},
        {"WAYLAND_DISPLAY=wayland-0 XDG_CURRENT_DESKTOP=KDE", KeyboardBackend::kwin},
        {"XDG_SESSION_TYPE=wayland", KeyboardBackend::kwin, "org.kde.keyboard"},
        {"DISPLAY=:0 XDG_CURRENT_DESKTOP=KDE", KeyboardBackend::x11, "org.kde.keyboard"},
        {"WAYLAND_DISPLAY=wayland-0", KeyboardBackend::gnome, "org.gnome.Shell"},
        {"DISPLAY=:0", KeyboardBackend::gnome, "org.gnome.Shell"},
        {"DISPLAY=:0 XDG_CURRENT_DESKTOP=XFCE", KeyboardBackend::x11, "org.gnome.Shell"},
        {"WAYLAND_DISPLAY=wayland-0 XDG_CURRENT_DESKTOP=ubuntu:GNOME", KeyboardBackend::gnome},
        {"DISPLAY=:0 XDG_CURRENT_DESKTOP=GNOME", KeyboardBackend::gnome},
        {"DISPLAY=:0 XDG_CURRENT_DESKTOP=X-Cinnamon", KeyboardBackend::cinnamon},
        {"WAYLAND_DISPLAY=wayland-0 XDG_CURRENT_DESKTOP=X-Cinnamon", KeyboardBackend::cinnamon},
        {"DISPLAY=:0", KeyboardBackend::cinnamon, "org.Cinnamon"},
    };
    for (const auto& row : cases)
        EXPECT_EQ(PlatformFactory::keyboardBackendFor(
                      environment(row.environment),
                      [&](const QString& service) { return service == row.onSessionBus; }),
                  row.backend)
            << row.environment;
}

TEST(QtPlatformChoiceTest, PicksWhatCanStart) {
    const struct {
        const char* environment;
        bool waylandPlugin;
        QString platforms; // empty: nothing can start
    } cases[] = {
        {"WAYLAND_DISPLAY=wayland-1 DISPLAY=:0", true, "wayland;xcb"},
        {"WAYLAND_DISPLAY=wayland-1", false, ""},
        {"WAYLAND_DISPLAY=wayland-1 DISPLAY=:0", false, "xcb"},
        {"WAYLAND_DISPLAY=wayland-9 DISPLAY=:0", true, "xcb"},
        {"QT_QPA_PLATFORM=offscreen", true, "offscreen"},
        {"QT_QPA_PLATFORM=xcb", true, ""},
    };
    // The compositor's socket "wayland-1" is there; any other name is stale.
    QTemporaryDir runtime;
    QFile socket(runtime.filePath(QStringLiteral("wayland-1")));
    ASSERT_TRUE(socket.open(QIODevice::WriteOnly));
    for (const auto& row : cases) {
        QProcessEnvironment session = environment(row.environment);
        session.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        const QStringList installed =
            row.waylandPlugin ? QStringList{"xcb", "wayland", "offscreen"} : QStringList{"xcb", "offscreen"};
        const QtPlatformChoice choice = QtPlatformChoice::choose(session, installed);
        EXPECT_EQ(choice.platforms, row.platforms) << row.environment << row.waylandPlugin;
        EXPECT_EQ(choice.problem.isEmpty(), !row.platforms.isEmpty()) << row.environment;
    }
}

// Answers the box on screen the way a person does: a button, Escape or closing it.
int answered(const Alert& alert, const std::function<void(QMessageBox*)>& person) {
    QTimer::singleShot(0, [&] { person(qobject_cast<QMessageBox*>(QApplication::activeModalWidget())); });
    return QtAlertPresenter().runModal(alert);
}

TEST(QtAlertPresenter, AnswersWithThePressedButtonAndEscapeOrCloseWithTheDismissingOne) {
    // Markup from a hostile feed is shown as it is, no link to follow.
    const QString markup = "<a href=\"https://x.invalid/\">2.1.0</a>";
    const Alert alert{markup,
                      "Version " + markup + " is out.",
                      AlertStyle::critical,
                      {"Download & Install", "Skip", "Later"},
                      AlertResponse::thirdButton};
    const std::unique_ptr<QMessageBox> box = QtAlertPresenter::makeBox(alert);
    EXPECT_EQ(box->defaultButton()->text(), "Download && Install") << "an ampersand shown, not a mnemonic";
    for (const char* name : {"qt_msgbox_label", "qt_msgbox_informativelabel"}) {
        const auto* label = box->findChild<QLabel*>(name);
        ASSERT_NE(label, nullptr);
        // What is shown (and read out) holds the markup itself.
        const QAccessibleInterface* shown = QAccessible::queryAccessibleInterface(const_cast<QLabel*>(label));
        ASSERT_NE(shown, nullptr);
        EXPECT_TRUE(shown->text(QAccessible::Name).contains(markup)) << name;
    }
    const auto pressSecond = [](QMessageBox* shown) {
        for (QAbstractButton* button : shown->buttons())
            if (button->property(QtAlertPresenter::responseProperty).toInt() == AlertResponse::secondButton)
                button->click();
    };
    EXPECT_EQ(answered(alert, pressSecond), AlertResponse::secondButton);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    EXPECT_EQ(answered(alert, [&](QMessageBox* shown) { QCoreApplication::sendEvent(shown, &escape); }),
              AlertResponse::thirdButton);
    EXPECT_EQ(answered(alert, [](QMessageBox* shown) { shown->close(); }), AlertResponse::thirdButton);
    const Alert bare{"Debug information", "Printed.", AlertStyle::informational, {}};
    EXPECT_EQ(answered(bare, [](QMessageBox* shown) { shown->close(); }), AlertResponse::firstButton);
}

// Stands in for the desktop's handler of file: addresses.
class FolderOpener final : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl& url) { opened.append(url); }
};

// A file manager on the test bus that records what it was asked to show.
class RecordingFileManager final : public QDBusVirtualObject {
public:
    QList<QDBusMessage> calls;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        calls.append(message);
        return connection.send(message.createReply());
    }
    QString introspect(const QString&) const override { return {}; }
};

// A private session bus without service activation, so that nothing on the
// machine answers for the file manager.
TEST(QtWorkspaceTest, RevealAsksTheFileManagerOrOpensTheFolder) {
    QTemporaryDir folder;
    const QString config = folder.filePath(QStringLiteral("bus.conf"));
    ASSERT_TRUE(
        test::writeFile(config, "<busconfig><type>session</type><listen>unix:dir=" + folder.path().toUtf8() +
                                    "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                                    "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow "
                                    "eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>"));
    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"), {"--config-file=" + config, "--nofork", "--print-address=1"});
    ASSERT_TRUE(daemon.waitForStarted()) << "dbus-daemon is needed (scripts/bootstrap installs it)";
    ASSERT_TRUE(test::waitUntil([&] { return daemon.canReadLine(); }));
    const QString address = QString::fromUtf8(daemon.readLine().trimmed());
    FolderOpener folderOpener;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &folderOpener, "open");
    const QString package = folder.filePath(QStringLiteral("Velmora_Update.deb"));
    const QString fileManager1 = "org.freedesktop.FileManager1", path = "/org/freedesktop/FileManager1";

    QDBusConnection fileManagerBus = QDBusConnection::connectToBus(address, QStringLiteral("file-manager"));
    RecordingFileManager fileManager;
    ASSERT_TRUE(fileManagerBus.registerService(fileManager1));
    ASSERT_TRUE(fileManagerBus.registerVirtualObject(path, &fileManager));
    const QDBusConnection workspaceBus = QDBusConnection::connectToBus(address, QStringLiteral("workspace"));
    QtWorkspace(workspaceBus).revealFile(package);
    ASSERT_TRUE(test::waitUntil([&] { return !fileManager.calls.isEmpty(); }));
    EXPECT_EQ(fileManager.calls.first().member(), QStringLiteral("ShowItems"));
    EXPECT_EQ(fileManager.calls.first().arguments().value(0).toStringList(),
              QStringList{QUrl::fromLocalFile(package).toString()});
    // A second call is answered after the first; a queued call after its
    // answer comes after whatever that answer caused.
    const QDBusPendingCall ping =
        workspaceBus.asyncCall(QDBusMessage::createMethodCall(fileManager1, path, {}, "Ping"));
    ASSERT_TRUE(test::waitUntil([&] { return ping.isFinished(); }) && test::drainQueued());
    EXPECT_TRUE(folderOpener.opened.isEmpty());

    // Nobody answers on the bus: the folder opens.
    fileManagerBus.unregisterService(fileManager1);
    QtWorkspace(workspaceBus).revealFile(package);
    ASSERT_TRUE(test::waitUntil([&] { return !folderOpener.opened.isEmpty(); }));
    EXPECT_EQ(folderOpener.opened.first(), QUrl::fromLocalFile(folder.path()));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    daemon.kill();
    daemon.waitForFinished();
}

TEST(QtWorkspaceTest, OpenerGetsTheFileAsItsOnlyArgumentAndItsFailureIsReported) {
    QTemporaryDir folder;
    const QString record = folder.filePath(QStringLiteral("arguments"));
    const QString opener = folder.filePath(QStringLiteral("opener"));
    ASSERT_TRUE(
        test::writeFile(opener, "#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > '" + record.toUtf8() + "'\n"));
    QFile::setPermissions(opener, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QString awkward = folder.filePath(QStringLiteral("Velmora Update 'new'.deb"));
    for (const QString& program : {opener, folder.filePath(QStringLiteral("none"))}) {
        std::optional<std::optional<Error>> outcome;
        QtWorkspace(QDBusConnection(QStringLiteral("no-bus")), program)
            .launchOpener(awkward, [&](const std::optional<Error>& failure) { outcome = failure; });
        EXPECT_FALSE(outcome.has_value()) << "the outcome arrives from the event loop";
        ASSERT_TRUE(test::waitUntil([&] { return outcome.has_value(); }));
        EXPECT_EQ(outcome->has_value(), program != opener);
    }
    EXPECT_EQ(QString::fromUtf8(test::readFile(record)), QStringLiteral("1|") + awkward + QLatin1Char('|'));
}

// A stale socket file does not block the first instance; a later one, for
// any display server, hands a reopen to it; then the next one is first.
TEST(SingleInstanceTest, LaterClaimsHandReopenToTheFirst) {
    QTemporaryDir runtime;
    int reopens = 0;
    {
        qputenv("DISPLAY", ":0");
        SingleInstance first(runtime.path());
        QFile stale(first.socketPath());
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        stale.close();
        first.setReopenHandler([&] { ++reopens; });
        ASSERT_TRUE(first.claim());
        qunsetenv("DISPLAY");
        qputenv("WAYLAND_DISPLAY", "wayland-1");
        SingleInstance second(runtime.path());
        EXPECT_FALSE(second.claim());
        EXPECT_TRUE(second.reopenDelivered() && test::waitUntil([&] { return reopens == 1; }));
        qunsetenv("WAYLAND_DISPLAY");
    }
    EXPECT_TRUE(SingleInstance(runtime.path()).claim());
}

// A runtime folder someone else could have made first is refused; a missing one is made private.
TEST(SingleInstanceTest, OnlyAPrivateFolderOfTheUsersOwnHoldsTheLock) {
    QTemporaryDir parent;
    const struct {
        const char* name;
        std::function<void(const QString&)> prepare;
        const char* problem;
    } cases[] = {
        {"missing", [](const QString&) {}, ""},
        {"shared with the group",
         [](const QString& path) { QDir().mkdir(path), ::chmod(qPrintable(path), 0770); }, "open to other"},
        {"foreign", [](const QString& path) { QDir().mkdir(path), ::chown(qPrintable(path), 65534, 65534); },
         "another user"},
        {"a link", [&](const QString& path) { QFile::link(parent.path(), path); }, "not a folder"},
    };
    for (const auto& row : cases) {
        const QString folder = parent.filePath(row.name);
        row.prepare(folder);
        const std::optional<QString> problem = SingleInstance::runtimeDirectoryProblem(folder);
        EXPECT_EQ(problem.has_value(), *row.problem != 0) << row.name;
        EXPECT_TRUE(problem.value_or("").contains(row.problem)) << row.name;
    }
    EXPECT_EQ(QFileInfo(parent.filePath("missing")).permissions() & 0x0077, 0);
}

} // namespace

#include "DesktopIntegrationTest.moc"
