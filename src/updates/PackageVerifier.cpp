#include "updates/PackageVerifier.h"

#include "updates/ReleaseStatement.h"

#include <QRegularExpression>

#include <sodium.h>

namespace velmora {

namespace {

std::optional<QByteArray> strictBase64(const QString& text) {
    const auto decoded =
        QByteArray::fromBase64Encoding(text.trimmed().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return std::nullopt;
    return *decoded;
}

bool sodiumReady() {
    // sodium_init() is idempotent and thread-safe; it only fails when the
    // system offers no source of randomness, which verification never needs.
    static const bool ready = sodium_init() >= 0;
    return ready;
}

} // namespace

PackageVerifier::PackageVerifier(QList<QByteArray> publicKeys) : publicKeys_(std::move(publicKeys)) {}

QList<QByteArray> PackageVerifier::builtInKeys() {
    return parseKeys(QStringLiteral(VELMORA_UPDATE_PUBLIC_KEYS));
}

QList<QByteArray> PackageVerifier::parseKeys(const QString& text) {
    QList<QByteArray> keys;
    static const QRegularExpression separators(QStringLiteral("[;,\\s]+"));
    for (const QString& part : text.split(separators, Qt::SkipEmptyParts)) {
        const std::optional<QByteArray> key = strictBase64(part);
        if (key && key->size() == crypto_sign_PUBLICKEYBYTES)
            keys.append(*key);
    }
    return keys;
}

std::optional<QString> PackageVerifier::failure(const QString& version, const QByteArray& packageDigest,
                                                const std::optional<QString>& sha256,
                                                const std::optional<QString>& signature) const {
    if (!sha256 || sha256->isEmpty())
        return QStringLiteral("the update information gives no sha256 digest");
    if (!signature || signature->isEmpty())
        return QStringLiteral("the update information gives no signature");
    const std::optional<QByteArray> signatureBytes = strictBase64(*signature);
    if (!signatureBytes || signatureBytes->size() != crypto_sign_BYTES)
        return QStringLiteral("the signature is not a base64 Ed25519 signature");
    if (publicKeys_.isEmpty())
        return QStringLiteral("this build of Velmora has no key to check updates with");
    if (!sodiumReady())
        return QStringLiteral("the signature library could not start");
    if (packageDigest.isEmpty() || packageDigest.toLower() != sha256->trimmed().toLower().toLatin1())
        return QStringLiteral("the package's sha256 digest does not match the update information");
    const QByteArray statement = releaseStatement(version, packageDigest);
    for (const QByteArray& key : publicKeys_) {
        if (crypto_sign_verify_detached(reinterpret_cast<const unsigned char*>(signatureBytes->constData()),
                                        reinterpret_cast<const unsigned char*>(statement.constData()),
                                        static_cast<unsigned long long>(statement.size()),
                                        reinterpret_cast<const unsigned char*>(key.constData())) == 0)
            return std::nullopt;
    }
    return QStringLiteral("the signature was not made by any of Velmora's release keys for version %1")
        .arg(version);
}

} // namespace velmora
