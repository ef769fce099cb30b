#include "platform/TextInputSources.h"

namespace velmora {

std::optional<QString> desktopSourceIdentifier(const QString& type, const QString& id) {
    if (id.isEmpty())
        return std::nullopt;
    const qsizetype plus = id.indexOf(QLatin1Char('+'));
    if (type != QLatin1String("xkb") || plus < 0)
        return id;
    return id.left(plus) + QLatin1Char('(') + id.mid(plus + 1) + QLatin1Char(')');
}

} // namespace velmora
