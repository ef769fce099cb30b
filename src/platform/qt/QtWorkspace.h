#pragma once

#include "platform/Workspace.h"

#include <QDBusConnection>

namespace velmora {

// Addresses go to the desktop's default handler (xdg-open and friends); files
// are revealed through the file manager's D-Bus interface.
class QtWorkspace final : public Workspace {
public:
    // The bus on which the file manager is asked and the program that opens
    // files; tests pass a private bus and an opener of their own.
    explicit QtWorkspace(QDBusConnection bus = QDBusConnection::sessionBus(),
                         QString opener = QStringLiteral("xdg-open"));

    bool openURL(const QUrl& url) override;
    // Asks org.freedesktop.FileManager1 to show the file; where no file
    // manager answers, the folder is opened instead.
    void revealFile(const QString& filePath) override;
    // The opener succeeded when it exits with status 0; xdg-open does so as
    // soon as a handler has the file or address, and fails when it finds
    // none. A missing opener fails to start, and is reported the same way.
    void launchOpener(const QString& filePath, OpenerFinished finished) override;

private:
    QDBusConnection bus_;
    QString opener_;
};

} // namespace velmora
