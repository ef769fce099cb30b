#pragma once

#include <QString>
#include <QUrl>

namespace velmora {

// The desktop's handlers for addresses and files.
class Workspace {
public:
    virtual ~Workspace() = default;
    // Hands the address to the user's default handler; false when none took it.
    virtual bool openURL(const QUrl& url) = 0;
    // Shows the file selected in the file manager, its folder open.
    virtual void revealFile(const QString& filePath) = 0;
    // Starts the desktop's opener on the file and does not wait for it; false
    // when the opener could not be started.
    virtual bool launchOpener(const QString& filePath) = 0;
};

} // namespace velmora
