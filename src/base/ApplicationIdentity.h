#pragma once

#include <QString>

namespace velmora {

// Names and addresses that identify Velmora to the system and its users.
class ApplicationIdentity {
public:
    static QString applicationId() { return QStringLiteral("app.velmora.Velmora"); }
    static QString version() { return QStringLiteral(VELMORA_VERSION); }
    static QString websiteHost() { return QStringLiteral(VELMORA_WEBSITE_HOST); }
    static QString supportPage() { return QStringLiteral("https://%1/contact").arg(websiteHost()); }
};

} // namespace velmora
