#pragma once

#include "base/Error.h"

#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

namespace velmora {

// The desktop's handlers for addresses and files.
class Workspace {
public:
    // How the opener ended: no error when it took the file.
    using OpenerFinished = std::function<void(const std::optional<Error>& failure)>;

    virtual ~Workspace() = default;
    // Hands the address to the user's default handler; false when none took it.
    virtual bool openURL(const QUrl& url) = 0;
    // Shows the file selected in the file manager, its folder open.
    virtual void revealFile(const QString& filePath) = 0;
    // Starts the desktop's opener on the file or address without waiting for it.
    // `finished` runs once, from the event loop and never before this returns,
    // with the failure when the opener could not be started or said it could
    // not open the file.
    virtual void launchOpener(const QString& filePath, OpenerFinished finished) = 0;
};

} // namespace velmora
