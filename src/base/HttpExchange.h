#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

#include <optional>

namespace velmora {

// What the network trace needs of one HTTP exchange, kept free of the network
// module so that the diagnostics stay in the core.
struct HttpRequestRecord {
    std::optional<QUrl> url;
    QString method; // empty when none was set
    QList<QPair<QString, QString>> headers;
    std::optional<QByteArray> body;
};

struct HttpResponseRecord {
    bool isHttp = true;
    int statusCode = 0;
};

} // namespace velmora
