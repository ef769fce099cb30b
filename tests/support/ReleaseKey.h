#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QString>

#include <sodium.h>

namespace velmora::test {

// A release key pair made for one test, signing as velmora-sign does.
struct ReleaseKey {
    QByteArray publicKey{crypto_sign_PUBLICKEYBYTES, '\0'};
    QByteArray secretKey{crypto_sign_SECRETKEYBYTES, '\0'};

    ReleaseKey() {
        if (sodium_init() >= 0)
            crypto_sign_keypair(reinterpret_cast<unsigned char*>(publicKey.data()),
                                reinterpret_cast<unsigned char*>(secretKey.data()));
    }
    QString sign(const QByteArray& bytes) const {
        QByteArray signature(crypto_sign_BYTES, '\0');
        crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                             reinterpret_cast<const unsigned char*>(bytes.constData()), bytes.size(),
                             reinterpret_cast<const unsigned char*>(secretKey.constData()));
        return QString::fromLatin1(signature.toBase64());
    }
    static QString sha256(const QByteArray& bytes) {
        return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    }
};

} // namespace velmora::test
