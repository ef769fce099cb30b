#include "switching/SystemUtils.h"

namespace velmora {

// XKB layout names: the plain US layout, its basic variant and US
// international. Other English layouts (gb, us(dvorak)…) are not switched to.
const QStringList& SystemUtils::englishLayoutIdentifiers() {
    static const QStringList identifiers{QStringLiteral("us"), QStringLiteral("us(basic)"),
                                         QStringLiteral("us(intl)")};
    return identifiers;
}

} // namespace velmora
