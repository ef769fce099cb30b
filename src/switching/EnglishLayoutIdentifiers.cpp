#include "switching/SystemUtils.h"

#include "platform/Platform.h"
#include "settings/Constants.h"
#include "settings/SettingsStore.h"

namespace velmora {

// XKB layout names: the plain US layout, its basic variant and US
// international. Other English layouts (gb, us(dvorak)…) are not switched to.
const QStringList& SystemUtils::englishLayoutIdentifiers() {
    static const QStringList identifiers{QStringLiteral("us"), QStringLiteral("us(basic)"),
                                         QStringLiteral("us(intl)")};
    return identifiers;
}

QStringList SystemUtils::shortcutLayoutIdentifiers() {
    const QString chosen =
        SettingsStore::standard().stringForKey(Constants::shortcutLayout).value_or(QString());
    if (chosen.isEmpty())
        return englishLayoutIdentifiers();
    // A layout that is not installed (removed since it was chosen, or a typo
    // in the defaults command) falls back to English rather than to nothing.
    TextInputSources* sources = Platform::current().inputSources.get();
    const std::optional<QList<InputSourceRef>> installed =
        sources != nullptr ? sources->createInputSourceList() : std::nullopt;
    for (const InputSourceRef& source : installed.value_or(QList<InputSourceRef>()))
        if (source && source->identifier == chosen)
            return {chosen};
    return englishLayoutIdentifiers();
}

} // namespace velmora
