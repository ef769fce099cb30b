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

// The download tests cover each refused package end to end; these are the
// edges of the check itself.
TEST(PackageVerifier, EdgesOfTheCheck) {
    const KeyPair release;
    const QByteArray package = QByteArrayLiteral("!<arch>\ndebian-binary   ") + QByteArray(4096, 'v');
    const QString signature = release.sign(package);
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("Velmora_Update.deb"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(package);
    file.close();
    const PackageVerifier verifier({release.publicKey});
    struct Case {
        const char* what;
        const PackageVerifier& verifier;
        QString digest;
        QString signature;
        const char* reason; // nullptr: passes
    };
    const PackageVerifier keyless({});
    const Case cases[] = {
        {"digest in capitals", verifier, sha256(package).toUpper(), signature, nullptr},
        {"empty signature", verifier, sha256(package), QString(), "no signature"},
        {"signature not base64", verifier, sha256(package), QString(88, QLatin1Char('*')), "not a base64"},
        {"a build without keys", keyless, sha256(package), signature, "no key"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<QString> failure = c.verifier.failure(path, c.digest, c.signature);
        if (c.reason == nullptr)
            EXPECT_EQ(failure, std::nullopt) << failure->toStdString();
        else
            EXPECT_TRUE(failure && failure->contains(QLatin1String(c.reason)))
                << failure.value_or("passed").toStdString();
    }
}

// Keys come from one build setting: rotation lists two; junk is left out.
TEST(PackageVerifier, KeysParseFromTheBuildSetting) {
    const KeyPair first, second;
    const QString text = QString::fromLatin1(first.publicKey.toBase64() + " ; " + second.publicKey.toBase64() +
                                             ",c2hvcnQ=,not*base64");
    EXPECT_EQ(PackageVerifier::parseKeys(text), (QList<QByteArray>{first.publicKey, second.publicKey}));
    EXPECT_TRUE(PackageVerifier::parseKeys(QString()).isEmpty());
}
