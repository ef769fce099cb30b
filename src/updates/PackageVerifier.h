#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace velmora {

// Checks a downloaded package against the digest and the Ed25519 signature
// the feed gives for it, with the public keys built into the program. A
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

    // Why the file at path is not the package the feed describes, or nothing
    // when it is: sha256 is the hex digest, signature the base64 signature of
    // the file's bytes.
    std::optional<QString> failure(const QString& path, const std::optional<QString>& sha256,
                                   const std::optional<QString>& signature) const;

    // Packages larger than this are not read for checking.
    static constexpr qint64 maximumPackageSize = qint64{1} << 30;

private:
    QList<QByteArray> publicKeys_;
};

} // namespace velmora
