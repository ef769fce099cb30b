#include "platform/x11/X11AccessibilityTrust.h"

#include "platform/x11/X11Connection.h"

#include <QtGlobal>

namespace velmora {

X11AccessibilityTrust::X11AccessibilityTrust(QByteArray displayName) : displayName_(std::move(displayName)) {}

bool X11AccessibilityTrust::isWaylandSession() {
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           qEnvironmentVariable("XDG_SESSION_TYPE").compare(QLatin1String("wayland"), Qt::CaseInsensitive) ==
               0;
}

bool X11AccessibilityTrust::isProcessTrusted() {
    if (isWaylandSession()) {
        reason_ = {UntrustedReason::Cause::waylandSessionForX11,
                   {},
                   QStringLiteral("this is a Wayland session, where an X11 program cannot observe the whole "
                                  "keyboard")};
        return false;
    }
    UntrustedReason problem;
    if (!X11Connection::open(displayName_, true, &problem)) {
        reason_ = std::move(problem);
        return false;
    }
    reason_ = {};
    return true;
}

} // namespace velmora
