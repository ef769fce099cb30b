#include "base/ConsoleOutput.h"
#include "switching/SystemUtils.h"
#include "platform/Platform.h"

namespace velmora {

namespace {

QString displayName(const InputSource& source) {
    return source.localizedName.value_or(QStringLiteral("Unknown"));
}

bool isEnglishIdentifier(const QString& identifier, const QStringList& englishIdentifiers) {
    const bool english = englishIdentifiers.contains(identifier, Qt::CaseSensitive);
    ConsoleOutput::writeLine(QStringLiteral("⌨️ Layout %1 is English: %2")
                                 .arg(identifier, QLatin1String(english ? "true" : "false")));
    return english;
}

} // namespace

InputSourceRef SystemUtils::getCurrentInputSource() {
    TextInputSources* sources = Platform::current().inputSources.get();
    if (sources == nullptr)
        return nullptr;
    InputSourceRef current = sources->copyCurrentKeyboardInputSource();
    if (!current)
        return nullptr;
    ConsoleOutput::writeLine(QStringLiteral("⌨️ Current layout: ") + displayName(*current));
    return current;
}

bool SystemUtils::isEnglishLayout(const InputSourceRef& source) {
    if (!source || !source->identifier)
        return false;
    return isEnglishIdentifier(*source->identifier, shortcutLayoutIdentifiers());
}

bool SystemUtils::selectEnglishLayout(InputSourceRef* selected) {
    TextInputSources* sources = Platform::current().inputSources.get();
    const std::optional<QList<InputSourceRef>> list =
        sources != nullptr ? sources->createInputSourceList() : std::nullopt;
    if (!list) {
        ConsoleOutput::writeLine(QStringLiteral("❌ Could not get input source list"));
        return false;
    }
    ConsoleOutput::writeLine(QStringLiteral("⌨️ Found %1 input sources").arg(list->size()));
    const QStringList englishIdentifiers = shortcutLayoutIdentifiers();
    for (const InputSourceRef& entry : *list) {
        if (!entry || !entry->identifier)
            continue;
        if (!isEnglishIdentifier(*entry->identifier, englishIdentifiers))
            continue;
        const int32_t status = sources->selectInputSource(entry);
        ConsoleOutput::writeLine(QStringLiteral("⌨️ Switched to English layout '%1', result: %2")
                                     .arg(displayName(*entry))
                                     .arg(status));
        if (selected != nullptr && status == 0)
            *selected = entry;
        return status == 0;
    }
    ConsoleOutput::writeLine(QStringLiteral("❌ No English layout found"));
    return false;
}

} // namespace velmora
