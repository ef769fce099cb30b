#pragma once

#include "platform/NetworkReachability.h"
#include "platform/SystemInformation.h"
#include "platform/Workspace.h"

#include <QList>

namespace velmora {

// Scripted answers about the machine: reachability flags, host, model and
// application id, and the addresses handed to the desktop.
class FakeMachine final : public NetworkReachability, public SystemInformation, public Workspace {
public:
    std::optional<uint32_t> flags = ReachabilityFlag::reachable;
    std::optional<QString> host = QStringLiteral("test-host");
    std::optional<QString> model = QStringLiteral("Test Model 1");
    std::optional<QString> appId = QStringLiteral("app.velmora.Velmora");
    bool openSucceeds = true;
    QList<QUrl> openedUrls;

    std::optional<uint32_t> defaultRouteFlags() override { return flags; }
    std::optional<QString> hostName() override { return host; }
    std::optional<QString> hardwareModel() override { return model; }
    std::optional<QString> applicationId() override { return appId; }
    bool openURL(const QUrl& url) override {
        openedUrls.append(url);
        return openSucceeds;
    }
};

} // namespace velmora
