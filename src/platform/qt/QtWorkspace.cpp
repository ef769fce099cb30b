#include "platform/qt/QtWorkspace.h"

#include <QDesktopServices>

namespace velmora {

bool QtWorkspace::openURL(const QUrl& url) { return QDesktopServices::openUrl(url); }

} // namespace velmora
