#include "platform/qt/QtWorkspace.h"
#include "support/WaitUntil.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVirtualObject>
#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

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
        connection.send(message.createReply());
        return true;
    }
    QString introspect(const QString&) const override { return {}; }
};

// A private session bus of its own, without service activation, so that
// nothing on the machine answers for the file manager.
class QtWorkspaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        const QString config = folder.filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(
            QStringLiteral(R"(<busconfig><type>session</type><listen>unix:dir=%1</listen><auth>EXTERNAL</auth>
<policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/>
</policy></busconfig>)")
                .arg(folder.path())
                .toUtf8());
        file.close();
        daemon.start(QStringLiteral("dbus-daemon"),
                     {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                      QStringLiteral("--print-address=1")});
        ASSERT_TRUE(daemon.waitForStarted()) << "dbus-daemon is needed (scripts/bootstrap installs it)";
        ASSERT_TRUE(test::waitUntil([&] { return daemon.canReadLine(); }));
        address = QString::fromUtf8(daemon.readLine().trimmed());
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &folderOpener, "open");
        package = folder.filePath(QStringLiteral("Velmora_Update.deb"));
    }
    void TearDown() override {
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        daemon.kill();
        daemon.waitForFinished();
    }
    // A new connection each time: a name stays taken by its connection.
    QDBusConnection bus(const QString& role) const {
        static int serial = 0;
        return QDBusConnection::connectToBus(address, role + QString::number(++serial));
    }

    QTemporaryDir folder;
    QProcess daemon;
    QString address;
    QString package;
    FolderOpener folderOpener;
};

TEST_F(QtWorkspaceTest, RevealAsksTheFileManagerOrOpensTheFolder) {
    QDBusConnection fileManagerBus = bus(QStringLiteral("velmora-file-manager"));
    RecordingFileManager fileManager;
    ASSERT_TRUE(fileManagerBus.registerService(QStringLiteral("org.freedesktop.FileManager1")));
    ASSERT_TRUE(
        fileManagerBus.registerVirtualObject(QStringLiteral("/org/freedesktop/FileManager1"), &fileManager));
    const QDBusConnection workspaceBus = bus(QStringLiteral("velmora-workspace"));
    QtWorkspace(workspaceBus).revealFile(package);
    ASSERT_TRUE(test::waitUntil([&] { return !fileManager.calls.isEmpty(); }));
    const QDBusMessage& call = fileManager.calls.first();
    EXPECT_EQ(call.member(), QStringLiteral("ShowItems"));
    EXPECT_EQ(call.arguments().value(0).toStringList(), QStringList{QUrl::fromLocalFile(package).toString()});
    // A second call on the same connection is answered after the first; a
    // queued call after its answer comes after whatever that answer caused.
    const QDBusPendingCall ping = workspaceBus.asyncCall(
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.FileManager1"),
                                       QStringLiteral("/org/freedesktop/FileManager1"), {}, "Ping"));
    ASSERT_TRUE(test::waitUntil([&] { return ping.isFinished(); }));
    bool after = false;
    QMetaObject::invokeMethod(
        qApp, [&] { after = true; }, Qt::QueuedConnection);
    ASSERT_TRUE(test::waitUntil([&] { return after; }));
    EXPECT_TRUE(folderOpener.opened.isEmpty());
    fileManagerBus.unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
    fileManagerBus.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));

    // Nobody answers on the bus, or there is no bus: the folder opens.
    QtWorkspace(bus(QStringLiteral("velmora-workspace"))).revealFile(package);
    ASSERT_TRUE(test::waitUntil([&] { return !folderOpener.opened.isEmpty(); }));
    QtWorkspace(QDBusConnection(QStringLiteral("velmora-no-bus"))).revealFile(package);
    EXPECT_EQ(folderOpener.opened, QList<QUrl>(2, QUrl::fromLocalFile(folder.path())));
}

TEST_F(QtWorkspaceTest, OpenerGetsTheFileAsItsOnlyArgument) {
    const QString record = folder.filePath(QStringLiteral("arguments"));
    const QString opener = folder.filePath(QStringLiteral("opener"));
    QFile script(opener);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(
        QStringLiteral("#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > '%1.partial' && mv '%1.partial' '%1'\n")
            .arg(record)
            .toUtf8());
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    const QString awkward = folder.filePath(QStringLiteral("Velmora Update 'new'.deb"));
    QtWorkspace workspace(QDBusConnection(QStringLiteral("velmora-no-bus")), opener);
    std::optional<std::optional<Error>> outcome;
    workspace.launchOpener(awkward, [&](const std::optional<Error>& failure) { outcome = failure; });
    EXPECT_FALSE(outcome.has_value()) << "the outcome arrives from the event loop";
    ASSERT_TRUE(test::waitUntil([&] { return outcome.has_value(); }));
    EXPECT_FALSE(outcome->has_value());
    QFile recorded(record);
    ASSERT_TRUE(recorded.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(recorded.readAll()), QStringLiteral("1|") + awkward + QLatin1Char('|'));

    QtWorkspace missing(QDBusConnection(QStringLiteral("velmora-no-bus")),
                        folder.filePath(QStringLiteral("none")));
    outcome.reset();
    missing.launchOpener(awkward, [&](const std::optional<Error>& failure) { outcome = failure; });
    EXPECT_FALSE(outcome.has_value());
    ASSERT_TRUE(test::waitUntil([&] { return outcome.has_value(); }));
    EXPECT_TRUE(outcome->has_value());
}

} // namespace

#include "QtWorkspaceTest.moc"
