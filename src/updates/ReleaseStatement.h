#pragma once

#include <QByteArray>
#include <QString>

namespace velmora {

// What a release signature covers: the version the feed offers and the
// package's SHA-256 digest, so that an older package, validly signed for its
// own version, cannot be offered as a newer one. velmora-sign makes it too.
inline QByteArray releaseStatement(const QString& version, const QByteArray& sha256Hex) {
    return "Velmora release\nversion " + version.trimmed().toUtf8() + "\nsha256 " +
           sha256Hex.trimmed().toLower() + '\n';
}

} // namespace velmora
