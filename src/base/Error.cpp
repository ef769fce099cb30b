#include "base/Error.h"

namespace velmora {

QString Error::fullDescription() const {
    return QStringLiteral("Error Domain=%1 Code=%2 \"%3\"").arg(domain).arg(code).arg(localizedDescription);
}

} // namespace velmora
