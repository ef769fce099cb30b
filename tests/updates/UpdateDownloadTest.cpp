#include "UpdateManagerFixture.h"

#include "platform/Platform.h"
#include "platform/qt/QtWorkspace.h"
#include "support/WaitUntil.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

using namespace velmora;

namespace {

QByteArray packageBytes(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(7);
    for (char& byte : bytes)
        byte = static_cast<char>(generator.bounded(256));
    return bytes;
}

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The desktop's real opener, started on a program of the test's choosing;
// the file manager is the recording one.
class RealOpener final : public Workspace {
public:
    RealOpener(const QString& program, FakeMachine& machine)
        : opener_(QDBusConnection(QStringLiteral("velmora-no-bus")), program), machine_(machine) {}
    bool openURL(const QUrl& url) override { return machine_.openURL(url); }
    void revealFile(const QString& filePath) override { machine_.revealFile(filePath); }
    void launchOpener(const QString& filePath, OpenerFinished finished) override {
        opener_.launchOpener(filePath, std::move(finished));
    }

private:
    QtWorkspace opener_;
    FakeMachine& machine_;
};

class UpdateDownloadTest : public test::UpdateManagerFixture {
protected:
    void SetUp() override {
        test::UpdateManagerFixture::SetUp();
        writeEarlierImage();
    }
    void writeEarlierImage() {
        QFile earlier(destination());
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write(earlierImage);
    }
    // An offer of `package`, signed with the release key.
    AppVersion offer(const QString& path) const {
        return {QStringLiteral("Velmora 2.0"), QStringLiteral("2.0"), server.url(path).toString(),
                test::ReleaseKey::sha256(package), releaseKey.sign(package)};
    }
    // Starts a download and waits until it has been handled: every download
    // the manager takes up ends in one alert.
    void download(const AppVersion& version) {
        if (!manager)
            makeManager();
        const qsizetype shownBefore = alerts->shown().size();
        manager->downloadAndInstallUpdate(version);
        ASSERT_TRUE(test::waitUntil([&] { return alerts->shown().size() > shownBefore; }));
        EXPECT_FALSE(manager->isDownloading());
    }
    QStringList alertTexts() const {
        QStringList texts;
        for (const Alert& alert : alerts->shown())
            texts.append(alert.messageText + QStringLiteral(": ") + alert.informativeText);
        return texts;
    }
    // Whatever went wrong, the earlier image is untouched and nothing else is left.
    void expectEarlierImageAlone() const {
        EXPECT_EQ(contentsOf(destination()), earlierImage);
        EXPECT_EQ(downloadFolderEntries(), QStringList{UpdateManager::downloadFileName()});
        EXPECT_TRUE(machine->launchedFiles.isEmpty());
    }

    const QByteArray earlierImage = "earlier package";
    const QByteArray package = packageBytes(300 * 1024);
};

TEST_F(UpdateDownloadTest, SuccessReplacesTheEarlierImageAndOpensIt) {
    server.answer("/releases/velmora-2.0-amd64.deb",
                  {.contentType = "application/vnd.debian.binary-package", .body = package});
    makeManager();
    const std::optional<AppVersion> offeredBefore = manager->updateAvailable();

    download(offer(QStringLiteral("/releases/velmora-2.0-amd64.deb")));

    EXPECT_EQ(contentsOf(destination()), package);
    EXPECT_EQ(downloadFolderEntries(), QStringList{"Velmora_Update.deb"});
    EXPECT_EQ(machine->launchedFiles, QStringList{destination()});
    ASSERT_EQ(alerts->shown().size(), 1);
    const Alert& done = alerts->shown().first();
    EXPECT_EQ(done.messageText, QStringLiteral("update_downloaded_title"));
    EXPECT_EQ(done.informativeText, QStringLiteral("saved Velmora_Update.deb"));
    EXPECT_EQ(done.buttons, (QStringList{"ok_button", "show_in_finder"}));
    EXPECT_TRUE(machine->revealedFiles.isEmpty()) << "OK only closes the alert";
    EXPECT_DOUBLE_EQ(manager->downloadProgress(), 1.0);
    EXPECT_EQ(manager->updateAvailable(), offeredBefore);
    EXPECT_EQ(events(), (QStringList{"update_download_started", "update_install_started"}));
    const QStringList trace = traced();
    ASSERT_EQ(trace.size(), 3);
    EXPECT_EQ(trace[0], QStringLiteral("Starting download of update: 2.0"));
    // The body arrived beside its destination, under a name of its own.
    EXPECT_TRUE(
        trace[1].startsWith("Download completed: " + QUrl::fromLocalFile(destination()).toString() + "."))
        << trace[1].toStdString();
    EXPECT_EQ(trace[2], QStringLiteral("Starting installation of update"));
    EXPECT_TRUE(errorLines().isEmpty());
}

TEST_F(UpdateDownloadTest, ShowInFolderRevealsTheFile) {
    server.answer("/v.deb", {.body = package});
    alerts->answerWith(AlertResponse::secondButton);
    download(offer(QStringLiteral("/v.deb")));
    EXPECT_EQ(machine->revealedFiles, QStringList{destination()});
}

// Only an opener that took the file lets the alert say it is opening; any
// other outcome names where the file is and offers to show it.
TEST_F(UpdateDownloadTest, OpenerOutcomeDecidesWhatTheUserIsTold) {
    server.answer("/v.deb", {.body = package});
    QTemporaryDir programs;
    const QString received = programs.filePath(QStringLiteral("received"));
    const struct {
        const char* label;
        const char* script; // none: the program does not exist
        QStringList alert;
        const char* error;
    } cases[] = {
        {"hands the file over", "exit 0", {"update_downloaded_title", "saved Velmora_Update.deb"}, nullptr},
        {"finds no handler",
         "echo \"xdg-open: no method available for opening '$1'\" >&2; exit 3",
         {"update_not_opened_title", "not opened Velmora_Update.deb|" + downloads.path()},
         "exited with status 3"},
        {"is missing",
         nullptr,
         {"update_not_opened_title", "not opened Velmora_Update.deb|" + downloads.path()},
         "could not be started"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const QString program = programs.filePath(QString::fromUtf8(c.label));
        if (c.script != nullptr) {
            QFile script(program);
            ASSERT_TRUE(script.open(QIODevice::WriteOnly));
            script.write(QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > '%1'\n%2\n")
                             .arg(received, QString::fromUtf8(c.script))
                             .toUtf8());
            script.close();
            script.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        }
        Platform::current().workspace = std::make_shared<RealOpener>(program, *machine);
        QFile::remove(received);
        output.clear();
        machine->revealedFiles.clear();
        alerts->answerWith(AlertResponse::secondButton);

        download(offer(QStringLiteral("/v.deb")));

        const Alert& told = alerts->shown().last();
        EXPECT_EQ((QStringList{told.messageText, told.informativeText}), c.alert);
        EXPECT_EQ(told.buttons, (QStringList{"ok_button", "show_in_finder"}));
        EXPECT_EQ(told.dismissResponse, AlertResponse::firstButton);
        EXPECT_EQ(machine->revealedFiles, QStringList{destination()});
        EXPECT_EQ(contentsOf(destination()), package);
        EXPECT_EQ(contentsOf(received), c.script != nullptr ? destination().toUtf8() : QByteArray());
        const QStringList errors = errorLines();
        ASSERT_EQ(errors.size(), c.error != nullptr ? 1 : 0);
        if (c.error != nullptr) {
            EXPECT_TRUE(errors.first().contains(QString::fromUtf8(c.error))) << errors.first().toStdString();
        }
    }
}

TEST_F(UpdateDownloadTest, AcceptedOfferDownloadsFromTheAlert) {
    server.answer("/version.json", {.body = offer(QStringLiteral("/v.deb")).encode()});
    server.answer("/v.deb", {.body = package});
    alerts->answerWith(AlertResponse::firstButton);
    makeManager();

    manager->checkForUpdates(false);
    ASSERT_TRUE(test::waitUntil([&] { return alerts->shown().size() == 2 && !manager->isDownloading(); }));

    EXPECT_EQ(alerts->shown().at(0).messageText, QStringLiteral("update_available_title"));
    EXPECT_EQ(alerts->shown().at(1).messageText, QStringLiteral("update_downloaded_title"));
    EXPECT_EQ(contentsOf(destination()), package);
}

TEST_F(UpdateDownloadTest, NotFoundIsAFailureThatKeepsTheEarlierImage) {
    download(offer(QStringLiteral("/missing.deb")));
    EXPECT_EQ(alertTexts(), QStringList{"update_check_failed_title: Download failed: HTTP status 404"});
    EXPECT_EQ(errorLines(), QStringList{"HTTP status 404"});
    expectEarlierImageAlone();
    EXPECT_FALSE(manager->isDownloading());
}

TEST_F(UpdateDownloadTest, ResetMidBodyIsAFailureThatKeepsTheEarlierImage) {
    server.answer("/v.deb", {.body = package, .resetAfterBodyBytes = 100 * 1024});
    download(offer(QStringLiteral("/v.deb")));
    ASSERT_EQ(alerts->shown().size(), 1);
    EXPECT_TRUE(alerts->shown().first().informativeText.startsWith(QStringLiteral("Download failed: ")));
    EXPECT_NE(alerts->shown().first().informativeText, QStringLiteral("Download failed: No file received"));
    EXPECT_EQ(errorLines().size(), 1);
    expectEarlierImageAlone();
}

TEST_F(UpdateDownloadTest, AddressesThatAreNotAcceptedNeverStartADownload) {
    makeManager();
    int downloadingChanges = 0;
    QObject::connect(manager.get(), &UpdateManager::isDownloadingChanged, [&] { ++downloadingChanges; });
    const QStringList refused = {
        "",
        "not an address",
        "ftp://127.0.0.1/v.deb",
        "file://" + destination(),
        "javascript:alert(1)",
        "http://example.invalid/v.deb", // plain http leaves this machine
        "https:///v.deb",               // no host
    };
    for (const QString& address : refused)
        manager->downloadAndInstallUpdate({QStringLiteral("Velmora 2.0"), QStringLiteral("2.0"), address});

    EXPECT_EQ(alertTexts(), QStringList(refused.size(), "update_check_failed_title: Invalid download URL"));
    EXPECT_EQ(downloadingChanges, 0);
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_TRUE(events().isEmpty());
    expectEarlierImageAlone();
}

TEST_F(UpdateDownloadTest, SecondDownloadIsIgnoredWhileOneRuns) {
    server.answer("/v.deb", {.body = package, .chunkSize = 32 * 1024, .chunkIntervalMs = 20});
    makeManager();
    manager->downloadAndInstallUpdate(offer(QStringLiteral("/v.deb")));
    ASSERT_TRUE(test::waitUntil([&] { return server.requestCount("/v.deb") == 1; }));
    manager->downloadAndInstallUpdate(offer(QStringLiteral("/v.deb")));
    manager->downloadAndInstallUpdate(offer(QStringLiteral("/other.deb")));
    ASSERT_TRUE(test::waitUntil([&] { return !alerts->shown().isEmpty(); }));

    EXPECT_EQ(server.requests().size(), 1);
    EXPECT_EQ(alerts->shown().size(), 1);
    EXPECT_EQ(machine->launchedFiles, QStringList{destination()});
    EXPECT_EQ(events(), (QStringList{"update_download_started", "update_install_started"}));
}

TEST_F(UpdateDownloadTest, ProgressFollowsTheTransferToTheEnd) {
    server.answer("/v.deb", {.body = package, .chunkSize = 30 * 1024, .chunkIntervalMs = 15});
    server.answer("/again.deb", {.body = package});
    makeManager();
    QList<double> progress;
    QObject::connect(manager.get(), &UpdateManager::downloadProgressChanged,
                     [&](double value) { progress.append(value); });

    download(offer(QStringLiteral("/v.deb")));
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_TRUE(std::any_of(progress.begin(), progress.end(), [](double p) { return p > 0.0 && p < 1.0; }));
    EXPECT_DOUBLE_EQ(progress.last(), 1.0);

    // The next download starts again from zero.
    progress.clear();
    download(offer(QStringLiteral("/again.deb")));
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_DOUBLE_EQ(progress.first(), 0.0);
    EXPECT_DOUBLE_EQ(progress.last(), 1.0);
}

TEST_F(UpdateDownloadTest, DestinationThatCannotBeReplacedIsAnInstallationFailure) {
    ASSERT_TRUE(QFile::remove(destination()));
    ASSERT_TRUE(QDir(downloads.path()).mkdir(UpdateManager::downloadFileName()));
    QFile inside(QDir(destination()).filePath(QStringLiteral("keep")));
    ASSERT_TRUE(inside.open(QIODevice::WriteOnly));
    inside.close();
    server.answer("/v.deb", {.body = package});

    download(offer(QStringLiteral("/v.deb")));
    ASSERT_EQ(alerts->shown().size(), 1);
    EXPECT_TRUE(alerts->shown().first().informativeText.startsWith(
        QStringLiteral("Installation preparation failed: ")))
        << alerts->shown().first().informativeText.toStdString();
    EXPECT_EQ(errorLines().size(), 1);
    EXPECT_TRUE(machine->launchedFiles.isEmpty());
    EXPECT_EQ(downloadFolderEntries(), QStringList{UpdateManager::downloadFileName()})
        << "no partial file left";
    EXPECT_TRUE(QFileInfo(destination()).isDir());
}

TEST_F(UpdateDownloadTest, UnknownDownloadFolderIsAFailure) {
    auto withoutFolder = dependencies();
    withoutFolder.downloadFolder = [] { return QString(); };
    makeManager(withoutFolder);
    server.answer("/v.deb", {.body = package});

    download(offer(QStringLiteral("/v.deb")));
    EXPECT_EQ(
        alertTexts(),
        QStringList{
            "update_check_failed_title: Download failed: The download folder could not be determined."});
    EXPECT_FALSE(manager->isDownloading());
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(UpdateDownloadTest, ManagerGoneMidDownloadLeavesNothingBehind) {
    server.answer("/v.deb", {.body = package, .chunkSize = 16 * 1024, .chunkIntervalMs = 30});
    makeManager();
    manager->downloadAndInstallUpdate(offer(QStringLiteral("/v.deb")));
    ASSERT_TRUE(test::waitUntil([&] { return downloadFolderEntries().size() == 2; }));
    manager.reset();
    test::settle(300);
    EXPECT_TRUE(alerts->shown().isEmpty());
    expectEarlierImageAlone();
}

// A package that is not exactly what a release key signed is removed
// unopened, whatever else the feed says; the earlier package stays.
TEST_F(UpdateDownloadTest, UnverifiedPackageIsRemovedNotOpened) {
    QByteArray changed = package;
    changed[4096] = static_cast<char>(changed[4096] ^ 1);
    const test::ReleaseKey stranger;
    const QString digest = test::ReleaseKey::sha256(package);
    const QString signature = releaseKey.sign(package);
    struct Case {
        const char* what;
        QByteArray served;
        std::optional<QString> sha256;
        std::optional<QString> signature;
        const char* reason;
    };
    const Case cases[] = {
        {"one byte changed", changed, digest, signature, "digest does not match"},
        {"signed by another key", package, digest, stranger.sign(package), "not made by any"},
        {"signature of another file", package, digest, releaseKey.sign(changed), "not made by any"},
        {"no digest", package, std::nullopt, signature, "no sha256 digest"},
        {"no signature", package, digest, std::nullopt, "no signature"},
        {"truncated signature", package, digest, signature.left(signature.size() / 2), "not a base64"},
    };
    makeManager();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        output.clear();
        server.answer("/v.deb", {.body = c.served});
        AppVersion version = offer(QStringLiteral("/v.deb"));
        version.sha256 = c.sha256;
        version.signature = c.signature;
        download(version);
        EXPECT_EQ(alertTexts().last(), QStringLiteral("update_not_verified_title: update_not_verified_message"));
        const QStringList errors = errorLines();
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors.first().contains(QLatin1String(c.reason))) << errors.first().toStdString();
        expectEarlierImageAlone();
    }
}

TEST_F(UpdateDownloadTest, CompletionWithoutAFile) {
    makeManager();
    manager->handleDownloadCompletion(std::nullopt, HttpResponseRecord{true, 200}, std::nullopt);
    EXPECT_EQ(alertTexts(), QStringList{"update_check_failed_title: Download failed: No file received"});
    EXPECT_TRUE(errorLines().isEmpty());
}

} // namespace
