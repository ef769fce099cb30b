#pragma once

#include "base/Error.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace velmora {

// One release as the update feed describes it.
struct AppVersion {
    QString name;    // shown in the offer
    QString version; // compared with the running version, stored when skipped
    QString url;     // where the package is downloaded from
    // The package's hex SHA-256 digest and base64 Ed25519 signature. A feed
    // may leave them out; the update is still offered, but its package is
    // never opened.
    std::optional<QString> sha256 = std::nullopt;
    std::optional<QString> signature = std::nullopt;

    // Anything longer is not a feed but a mistake or an attack; it is refused
    // unread rather than held in memory.
    static constexpr qsizetype maximumFeedSize = 1024 * 1024;

    // The feed body: exactly one JSON object whose "name", "version" and "url"
    // are all strings; "sha256" and "signature" are read when they are
    // strings, other members are ignored. On failure the error says which
    // rule the body broke.
    static std::optional<AppVersion> decode(const QByteArray& body, Error* error = nullptr);
    QByteArray encode() const;

    bool operator==(const AppVersion&) const = default;
};

} // namespace velmora
