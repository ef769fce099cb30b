#pragma once

#include <QUrl>

namespace velmora {

// The desktop's handlers for addresses and files.
class Workspace {
public:
    virtual ~Workspace() = default;
    // Hands the address to the user's default handler; false when none took it.
    virtual bool openURL(const QUrl& url) = 0;
};

} // namespace velmora
