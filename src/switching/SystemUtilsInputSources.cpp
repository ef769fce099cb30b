#include "base/ConsoleOutput.h"
#include "switching/SystemUtils.h"
#include "platform/Platform.h"

#include <QStringList>

namespace velmora {

namespace {

QString displayName(const InputSource& source) {
    return source.localizedName.value_or(QStringLiteral("Unknown"));
}

bool isEnglishIdentifier(const QString& identifier, const QStringList& englishIdentifiers) {
    return englishIdentifiers.contains(identifier, Qt::CaseSensitive);
}

QString englishLine(const QString& identifier, bool english) {
    return QStringLiteral("⌨️ Layout %1 is English: %2").arg(identifier, QLatin1String(english ? "true" : "false"));
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
    const bool english = isEnglishIdentifier(*source->identifier, shortcutLayoutIdentifiers());
    ConsoleOutput::writeLine(englishLine(*source->identifier, english));
    return english;
}

bool SystemUtils::selectEnglishLayout(InputSourceRef* selected) {
    TextInputSources* sources = Platform::current().inputSources.get();
    const std::optional<QList<InputSourceRef>> list =
        sources != nullptr ? sources->createInputSourceList() : std::nullopt;
    if (!list) {
        ConsoleOutput::writeLine(QStringLiteral("❌ Could not get input source list"));
        return false;
    }
    // The layout is requested first; the lines that describe the walk follow.
    QStringList lines{QStringLiteral("⌨️ Found %1 input sources").arg(list->size())};
    const QStringList englishIdentifiers = shortcutLayoutIdentifiers();
    for (const InputSourceRef& entry : *list) {
        if (!entry || !entry->identifier)
            continue;
        const bool english = isEnglishIdentifier(*entry->identifier, englishIdentifiers);
        lines.append(englishLine(*entry->identifier, english));
        if (!english)
            continue;
        const int32_t status = sources->selectInputSource(entry);
        lines.append(QStringLiteral("⌨️ Switched to English layout '%1', result: %2").arg(displayName(*entry)).arg(status));
        for (const QString& line : lines)
            ConsoleOutput::writeLine(line);
        if (selected != nullptr && status == 0)
            *selected = entry;
        return status == 0;
    }
    lines.append(QStringLiteral("❌ No English layout found"));
    for (const QString& line : lines)
        ConsoleOutput::writeLine(line);
    return false;
}

} // namespace velmora
