#include "platform/x11/XkbSymbolsName.h"

#include <QRegularExpression>

namespace velmora {

namespace {

constexpr int maximumGroups = 4; // XKB has at most four groups

// Symbols files that the rules add for the model and for options; they are
// never a layout of their own.
bool isHelperSymbols(QStringView file) {
    static const QStringList helpers{
        QStringLiteral("pc"),      QStringLiteral("inet"),      QStringLiteral("group"),
        QStringLiteral("compose"), QStringLiteral("ctrl"),      QStringLiteral("capslock"),
        QStringLiteral("altwin"),  QStringLiteral("keypad"),    QStringLiteral("kpdl"),
        QStringLiteral("level2"),  QStringLiteral("level3"),    QStringLiteral("level5"),
        QStringLiteral("nbsp"),    QStringLiteral("parens"),    QStringLiteral("eurosign"),
        QStringLiteral("rupeesign"), QStringLiteral("shift"),   QStringLiteral("srvr_ctrl"),
        QStringLiteral("terminate"), QStringLiteral("typo"),    QStringLiteral("empty"),
    };
    return helpers.contains(file);
}

} // namespace

QStringList layoutsFromSymbolsName(const QString& symbolsName) {
    // "+" merges by augmenting, "|" by overriding; both separate components.
    static const QRegularExpression separators(QStringLiteral("[+|]"));
    // file, optional "(section)", optional ":group"
    static const QRegularExpression component(QStringLiteral(R"(^([^():]+)(\([^()]*\))?(?::(\d+))?$)"));

    QStringList layouts;
    for (const QString& part : symbolsName.split(separators, Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = component.match(part.trimmed());
        if (!match.hasMatch())
            continue;
        const QString file = match.captured(1);
        if (isHelperSymbols(file))
            continue;
        int group = 1;
        if (match.hasCaptured(3)) {
            group = match.captured(3).toInt();
            if (group < 1 || group > maximumGroups)
                continue;
        }
        while (layouts.size() < group)
            layouts.append(QString());
        if (layouts[group - 1].isEmpty())
            layouts[group - 1] = file + match.captured(2);
    }
    return layouts;
}

} // namespace velmora
