#pragma once

#include "platform/Workspace.h"

namespace velmora {

// Addresses go to the desktop's default handler (xdg-open and friends).
class QtWorkspace final : public Workspace {
public:
    bool openURL(const QUrl& url) override;
};

} // namespace velmora
