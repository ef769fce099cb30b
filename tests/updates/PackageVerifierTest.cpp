#include "updates/PackageVerifier.h"

#include "support/ReleaseKey.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

using KeyPair = test::ReleaseKey;
QString sha256(const QByteArray& bytes) { return test::ReleaseKey::sha256(bytes); }

} // namespace

// Every way a package can differ from what the release key signed is refused
// with its own reason; only the signed bytes with their digest pass.
TEST(PackageVerifier, OnlyTheSignedBytesWithTheirDigestPass) {
    const KeyPair release, stranger;
    const QByteArray package = QByteArrayLiteral("!<arch>\ndebian-binary   ") + QByteArray(4096, 'v');
    QByteArray changed = package;
    changed[100] = 'w';
    const QString goodSignature = release.sign(package);
    struct Case {
        const char* what;
        QByteArray onDisk;
        std::optional<QString> digest;
        std::optional<QString> signature;
        const char* reason; // nullptr: passes
    };
    const Case cases[] = {
        {"the signed package", package, sha256(package), goodSignature, nullptr},
        {"digest in capitals", package, sha256(package).toUpper(), goodSignature, nullptr},
        {"one byte changed, digest of the change", changed, sha256(changed), goodSignature, "not made by"},
        {"one byte changed, feed's digest", changed, sha256(package), goodSignature, "does not match"},
        {"signed by another key", package, sha256(package), stranger.sign(package), "not made by"},
        {"signature of another file", package, sha256(package), release.sign(changed), "not made by"},
        {"no digest", package, std::nullopt, goodSignature, "no sha256"},
        {"no signature", package, sha256(package), std::nullopt, "no signature"},
        {"empty signature", package, sha256(package), QString(), "no signature"},
        {"truncated signature", package, sha256(package), goodSignature.left(40), "not a base64"},
        {"signature not base64", package, sha256(package), QString(88, QLatin1Char('*')), "not a base64"},
    };
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const PackageVerifier verifier({stranger.publicKey.left(31) + 'x', release.publicKey});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = folder.filePath(QStringLiteral("Velmora_Update.deb"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.onDisk);
        file.close();
        const std::optional<QString> failure = verifier.failure(path, c.digest, c.signature);
        if (c.reason == nullptr)
            EXPECT_EQ(failure, std::nullopt) << failure->toStdString();
        else
            EXPECT_TRUE(failure && failure->contains(QLatin1String(c.reason))) << failure.value_or("passed").toStdString();
    }
    EXPECT_TRUE(PackageVerifier({}).failure(folder.filePath(QStringLiteral("Velmora_Update.deb")), sha256(changed),
                                            goodSignature));
}

// Keys come from one build setting: rotation lists two; junk is left out.
TEST(PackageVerifier, KeysParseFromTheBuildSetting) {
    const KeyPair first, second;
    const QString text = QString::fromLatin1(first.publicKey.toBase64() + " ; " + second.publicKey.toBase64() +
                                             ",c2hvcnQ=,not*base64");
    EXPECT_EQ(PackageVerifier::parseKeys(text), (QList<QByteArray>{first.publicKey, second.publicKey}));
    EXPECT_TRUE(PackageVerifier::parseKeys(QString()).isEmpty());
}
