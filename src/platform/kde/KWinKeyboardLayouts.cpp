#include "platform/kde/KWinKeyboardLayouts.h"

#include <QDBusArgument>
#include <QDBusMessage>

namespace velmora {

KWinKeyboardLayouts::KWinKeyboardLayouts(const QDBusConnection& connection, int timeoutMs, QObject* parent)
    : QDBusAbstractInterface(QLatin1String(service), QLatin1String(path), interfaceName, connection, parent) {
    setTimeout(timeoutMs);
}

std::optional<QList<KWinKeyboardLayouts::Layout>> KWinKeyboardLayouts::layouts() {
    const QDBusMessage reply = call(QStringLiteral("getLayoutsList"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1 ||
        reply.signature() != QLatin1String("a(sss)"))
        return std::nullopt;
    const QDBusArgument argument = reply.arguments().constFirst().value<QDBusArgument>();
    QList<Layout> result;
    argument.beginArray();
    while (!argument.atEnd()) {
        Layout layout;
        argument.beginStructure();
        argument >> layout.shortName >> layout.label >> layout.longName;
        argument.endStructure();
        result.append(layout);
    }
    argument.endArray();
    return result;
}

std::optional<uint> KWinKeyboardLayouts::layout() {
    const QDBusMessage reply = call(QStringLiteral("getLayout"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != QLatin1String("u"))
        return std::nullopt;
    return reply.arguments().constFirst().toUInt();
}

bool KWinKeyboardLayouts::setLayout(uint index) {
    const QDBusMessage reply = call(QStringLiteral("setLayout"), index);
    return reply.type() == QDBusMessage::ReplyMessage && reply.signature() == QLatin1String("b") &&
           reply.arguments().constFirst().toBool();
}

} // namespace velmora
