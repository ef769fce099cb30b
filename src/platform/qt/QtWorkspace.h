#pragma once

#include "platform/Workspace.h"

#include <QDBusConnection>

namespace velmora {

// Addresses go to the desktop's default handler (xdg-open and friends); files
// are revealed through the file manager's D-Bus interface.
class QtWorkspace final : public Workspace {
public:
    // The bus on which the file manager is asked; tests pass a private one.
    explicit QtWorkspace(QDBusConnection bus = QDBusConnection::sessionBus(),
                         QString opener = QStringLiteral("xdg-open"));

    bool openURL(const QUrl& url) override;
    // Asks org.freedesktop.FileManager1 to show the file; where no file
    // manager answers, the folder is opened instead.
    void revealFile(const QString& filePath) override;
    bool launchOpener(const QString& filePath) override;

private:
    QDBusConnection bus_;
    QString opener_;
};

} // namespace velmora
