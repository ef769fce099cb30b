#pragma once

#include "platform/NetworkReachability.h"
#include "platform/SystemInformation.h"
#include "platform/Workspace.h"

#include <QCoreApplication>
#include <QList>
#include <QStringList>

namespace velmora {

// Scripted answers about the machine: reachability flags, host, model and
// application id, and the addresses and files handed to the desktop.
class FakeMachine final : public NetworkReachability, public SystemInformation, public Workspace {
public:
    std::optional<uint32_t> flags = ReachabilityFlag::reachable;
    std::optional<QString> host = QStringLiteral("test-host");
    std::optional<QString> model = QStringLiteral("Test Model 1");
    std::optional<QString> appId = QStringLiteral("app.velmora.Velmora");
    bool openSucceeds = true;
    QList<QUrl> openedUrls;
    bool launchSucceeds = true;
    QStringList launchedFiles;
    QStringList revealedFiles;

    std::optional<uint32_t> defaultRouteFlags() override { return flags; }
    std::optional<QString> hostName() override { return host; }
    std::optional<QString> hardwareModel() override { return model; }
    std::optional<QString> applicationId() override { return appId; }
    bool openURL(const QUrl& url) override {
        openedUrls.append(url);
        return openSucceeds;
    }
    void revealFile(const QString& filePath) override { revealedFiles.append(filePath); }
    void launchOpener(const QString& filePath, OpenerFinished finished) override {
        launchedFiles.append(filePath);
        const std::optional<Error> failure =
            launchSucceeds ? std::nullopt
                           : std::optional<Error>(Error{QStringLiteral("FakeMachine"), 1,
                                                        QStringLiteral("The opener failed.")});
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [finished, failure] { finished(failure); }, Qt::QueuedConnection);
    }
};

} // namespace velmora
