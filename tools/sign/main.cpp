// velmora-sign: makes the release key pair and signs release packages for the
// update feed. The secret key never leaves the file it is written to, and a
// key file that others can read is refused.

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QSaveFile>
#include <QString>

#include "updates/ReleaseStatement.h"

#include <sodium.h>
#include <sys/stat.h>

#include <cstdio>

namespace {

int usage() {
    std::fprintf(stderr, "usage: velmora-sign keygen SECRET_KEY_FILE\n"
                         "       velmora-sign sign PACKAGE VERSION SECRET_KEY_FILE\n"
                         "       velmora-sign public SECRET_KEY_FILE\n");
    return 2;
}

int fail(const QString& message) {
    std::fprintf(stderr, "velmora-sign: %s\n", qPrintable(message));
    return 1;
}

const unsigned char* bytes(const QByteArray& data) {
    return reinterpret_cast<const unsigned char*>(data.constData());
}

int keygen(const QString& path) {
    if (QFile::exists(path))
        return fail(QStringLiteral("%1 exists; a key is never overwritten").arg(path));
    QByteArray publicKey(crypto_sign_PUBLICKEYBYTES, '\0');
    QByteArray secretKey(crypto_sign_SECRETKEYBYTES, '\0');
    crypto_sign_keypair(reinterpret_cast<unsigned char*>(publicKey.data()),
                        reinterpret_cast<unsigned char*>(secretKey.data()));
    QSaveFile file(path);
    // Owner-only from the first byte: the file is created with this mode.
    const mode_t previous = umask(077);
    const bool opened = file.open(QIODevice::WriteOnly);
    umask(previous);
    if (!opened)
        return fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    file.write(secretKey.toBase64() + '\n');
    sodium_memzero(secretKey.data(), static_cast<size_t>(secretKey.size()));
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) || !file.commit())
        return fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    std::printf("%s\n", publicKey.toBase64().constData());
    return 0;
}

// The secret key, or an empty array after saying why not.
QByteArray readSecretKey(const QString& path) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
        fail(QStringLiteral("cannot read %1").arg(path));
        return {};
    }
    if ((status.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        fail(QStringLiteral("%1 can be read by others; chmod 600 it first").arg(path));
        return {};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
        return {};
    }
    const auto key =
        QByteArray::fromBase64Encoding(file.readAll().trimmed(), QByteArray::AbortOnBase64DecodingErrors);
    if (!key || key.decoded.size() != crypto_sign_SECRETKEYBYTES) {
        fail(QStringLiteral("%1 is not a secret key made by velmora-sign keygen").arg(path));
        return {};
    }
    return *key;
}

// Signs the statement that the package is the release `version`, so the
// signature holds for that version only.
int sign(const QString& packagePath, const QString& version, const QString& keyPath) {
    const QByteArray secretKey = readSecretKey(keyPath);
    if (secretKey.isEmpty())
        return 1;
    QFile package(packagePath);
    QCryptographicHash digest(QCryptographicHash::Sha256);
    if (!package.open(QIODevice::ReadOnly) || !digest.addData(&package))
        return fail(QStringLiteral("cannot read %1: %2").arg(packagePath, package.errorString()));
    if (version.trimmed().isEmpty())
        return fail(QStringLiteral("the version is empty"));
    const QByteArray sha256 = digest.result().toHex();
    const QByteArray statement = velmora::releaseStatement(version, sha256);
    QByteArray signature(crypto_sign_BYTES, '\0');
    crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr, bytes(statement),
                         static_cast<unsigned long long>(statement.size()), bytes(secretKey));
    // The two members to add to the feed beside name, version and url.
    std::printf("\"sha256\": \"%s\",\n\"signature\": \"%s\"\n", sha256.constData(),
                signature.toBase64().constData());
    return 0;
}

int printPublicKey(const QString& keyPath) {
    const QByteArray secretKey = readSecretKey(keyPath);
    if (secretKey.isEmpty())
        return 1;
    QByteArray publicKey(crypto_sign_PUBLICKEYBYTES, '\0');
    crypto_sign_ed25519_sk_to_pk(reinterpret_cast<unsigned char*>(publicKey.data()), bytes(secretKey));
    std::printf("%s\n", publicKey.toBase64().constData());
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    if (sodium_init() < 0)
        return fail(QStringLiteral("libsodium could not start"));
    const QString command = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (command == QLatin1String("keygen") && argc == 3)
        return keygen(QFile::decodeName(argv[2]));
    if (command == QLatin1String("sign") && argc == 5)
        return sign(QFile::decodeName(argv[2]), QString::fromLocal8Bit(argv[3]), QFile::decodeName(argv[4]));
    if (command == QLatin1String("public") && argc == 3)
        return printPublicKey(QFile::decodeName(argv[2]));
    return usage();
}
