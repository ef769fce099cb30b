#include "platform/sway/XkbLayoutRegistry.h"

#include <QFile>
#include <QXmlStreamReader>

namespace velmora {

QString XkbLayoutRegistry::defaultRulesFile() {
    return QStringLiteral("/usr/share/X11/xkb/rules/evdev.xml");
}

XkbLayoutRegistry XkbLayoutRegistry::load(const QString& rulesFile) {
    QFile file(rulesFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return fromXml(file.readAll());
}

XkbLayoutRegistry XkbLayoutRegistry::fromXml(const QByteArray& xml) {
    XkbLayoutRegistry registry;
    QXmlStreamReader reader(xml);
    // Inside <layout>: the layout's own name, then the name and description of
    // the item being read (the layout's or one variant's).
    QString layout;
    QString name;
    QString description;
    bool inLayout = false;
    bool inVariant = false;
    while (!reader.atEnd()) {
        reader.readNext();
        const QStringView element = reader.name();
        if (reader.isStartElement()) {
            if (element == u"layout")
                inLayout = true, layout.clear();
            else if (element == u"variant")
                inVariant = true;
            else if (element == u"configItem")
                name.clear(), description.clear();
            else if (element == u"name")
                name = reader.readElementText();
            else if (element == u"description")
                description = reader.readElementText();
        } else if (reader.isEndElement()) {
            if (element == u"layout") {
                inLayout = false;
            } else if (element == u"variant") {
                inVariant = false;
            } else if (element == u"configItem" && inLayout && !name.isEmpty()) {
                if (!inVariant)
                    layout = name;
                const QString identifier = inVariant ? QStringLiteral("%1(%2)").arg(layout, name) : name;
                // The first entry wins: later ones are rarer aliases.
                if (!description.isEmpty() && !registry.identifiers_.contains(description))
                    registry.identifiers_.insert(description, identifier);
            }
        }
    }
    return registry;
}

std::optional<QString> XkbLayoutRegistry::identifierFor(const QString& description) const {
    const auto found = identifiers_.constFind(description);
    if (found == identifiers_.constEnd())
        return std::nullopt;
    return *found;
}

} // namespace velmora
