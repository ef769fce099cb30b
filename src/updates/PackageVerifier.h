#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace velmora {

// Checks a downloaded package against the digest the feed gives for it and
// the Ed25519 signature binding that digest to the version offered, with the
// public keys built into the program. A
// package that fails is never moved into place or opened: whoever can answer
// for the feed host must not be able to have users install code as root.
class PackageVerifier {
public:
    // Raw 32-byte Ed25519 public keys; any one of them may have signed. More
    // than one lets a release ship the next key before signing with it.
    explicit PackageVerifier(QList<QByteArray> publicKeys);

    // The keys given to the build (VELMORA_UPDATE_PUBLIC_KEYS).
    static QList<QByteArray> builtInKeys();
    // Base64 keys separated by ";" or ",", or whitespace; a key that does not
    // decode to 32 bytes is left out.
    static QList<QByteArray> parseKeys(const QString& text);

    // Why a package whose bytes have the SHA-256 digest `packageDigest` (hex)
    // is not the one the feed offers as `version`, or nothing when it is:
    // sha256 is the feed's hex digest, signature its base64 signature of
    // releaseStatement(version, sha256).
    std::optional<QString> failure(const QString& version, const QByteArray& packageDigest,
                                   const std::optional<QString>& sha256,
                                   const std::optional<QString>& signature) const;

    // Larger packages are refused while they download.
    static constexpr qint64 maximumPackageSize = qint64{1} << 30;

private:
    QList<QByteArray> publicKeys_;
};

} // namespace velmora
