// How long the main loop stalls while a large package is downloaded from a
// real HTTP server (python3's, in its own process) and checked: switching runs
// on that loop, so a long stall is a shortcut typed in the wrong layout.
// Prints the longest gap between ticks of a 1 ms timer, idle and while the
// package of the given size (MB, default 200) downloads and is verified.
#include "fakes/FakePlatform.h"
#include "settings/InMemorySettingsStore.h"
#include "settings/NotificationCenter.h"
#include "updates/ReleaseStatement.h"
#include "updates/UpdateManager.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <sodium.h>

using namespace velmora;

namespace {

// The longest gap between ticks of a 1 ms timer until `done` says so.
qint64 longestStall(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, longest = 0;
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    ticks.start(1);
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return longest;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const qint64 megabytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 200;
    QTemporaryDir served, downloads;
    QByteArray package(megabytes * 1024 * 1024, '\0');
    for (qsizetype i = 0; i < package.size(); i += 4096)
        package[i] = char(i / 4096);
    QFile file(served.filePath(QStringLiteral("package.deb")));
    if (sodium_init() < 0 || !file.open(QIODevice::WriteOnly) || file.write(package) != package.size())
        return std::fputs("cannot prepare the package\n", stderr), 1;
    file.close();

    QByteArray publicKey(crypto_sign_PUBLICKEYBYTES, '\0'), secretKey(crypto_sign_SECRETKEYBYTES, '\0');
    crypto_sign_keypair(reinterpret_cast<unsigned char*>(publicKey.data()),
                        reinterpret_cast<unsigned char*>(secretKey.data()));
    const QString version = QStringLiteral("2.0");
    const QByteArray digest = QCryptographicHash::hash(package, QCryptographicHash::Sha256).toHex();
    package.clear();
    const QByteArray statement = releaseStatement(version, digest);
    QByteArray signature(crypto_sign_BYTES, '\0');
    crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                         reinterpret_cast<const unsigned char*>(statement.data()), statement.size(),
                         reinterpret_cast<const unsigned char*>(secretKey.constData()));

    QProcess server;
    server.setWorkingDirectory(served.path());
    server.setProcessChannelMode(QProcess::MergedChannels);
    server.start(QStringLiteral("python3"), {"-u", "-m", "http.server", "0", "--bind", "127.0.0.1"});
    QString port;
    while (port.isEmpty() && server.waitForReadyRead(10000))
        port = QRegularExpression(QStringLiteral("port (\\d+)"))
                   .match(QString::fromUtf8(server.readAll()))
                   .captured(1);
    if (port.isEmpty())
        return std::fputs("python3's HTTP server did not start\n", stderr), 1;

    SettingsStore::setStandard(std::make_shared<InMemorySettingsStore>());
    FakePlatform platform;
    NotificationCenter notifications;
    UpdateManager manager({.settings = &SettingsStore::standard,
                           .notificationCenter = &notifications,
                           .localizedString = [](const QString& key) { return key + QStringLiteral(" %1"); },
                           .feedAddress = QStringLiteral("http://127.0.0.1:%1/version.json").arg(port),
                           .bundleVersion = [] { return QStringLiteral("1.0"); },
                           .downloadFolder = [&] { return downloads.path(); },
                           .now = [] { return QDateTime::currentDateTime(); },
                           .packageKeys = {publicKey}});

    QElapsedTimer idleClock;
    idleClock.start();
    const qint64 idle = longestStall([&] { return idleClock.elapsed() > 2000; });
    QElapsedTimer clock;
    clock.start();
    manager.downloadAndInstallUpdate(
        {"Velmora 2.0", version, QStringLiteral("http://127.0.0.1:%1/package.deb").arg(port),
         QString::fromLatin1(digest), QString::fromLatin1(signature.toBase64())});
    const qint64 busy = longestStall([&] { return !platform.alerts->shown().isEmpty(); });
    const bool opened = platform.machine->launchedFiles.size() == 1;
    std::printf("package: %lld MB, downloaded and verified in %.2f s, %s\n", megabytes,
                clock.elapsed() / 1000.0, opened ? "opened" : "NOT opened");
    std::printf("longest main-loop stall: idle %lld ms, during download and verification %lld ms\n", idle,
                busy);
    server.kill();
    server.waitForFinished();
    SettingsStore::setStandard(nullptr);
    return opened ? 0 : 1;
}
