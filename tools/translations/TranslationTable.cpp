#include "translations/TranslationTable.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>

namespace velmora {

namespace {

void readMessage(QXmlStreamReader& reader, TranslationTable::Message& message) {
    message.id = reader.attributes().value(QLatin1StringView("id")).toString();
    while (reader.readNextStartElement()) {
        if (reader.name() == u"source") {
            message.source = reader.readElementText();
        } else if (reader.name() == u"extracomment") {
            message.note = reader.readElementText();
        } else if (reader.name() == u"translation") {
            const QStringView type = reader.attributes().value(QLatin1StringView("type"));
            message.unfinished = type == u"unfinished";
            message.translation = reader.readElementText();
        } else {
            reader.skipCurrentElement();
        }
    }
}

} // namespace

std::optional<TranslationTable> TranslationTable::read(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return std::nullopt;
    }
    TranslationTable table;
    QXmlStreamReader reader(&file);
    if (!reader.readNextStartElement() || reader.name() != u"TS") {
        *error = QStringLiteral("not a Qt Linguist file");
        return std::nullopt;
    }
    table.language = reader.attributes().value(QLatin1StringView("language")).toString();
    while (reader.readNextStartElement()) {
        if (reader.name() != u"context") {
            reader.skipCurrentElement();
            continue;
        }
        while (reader.readNextStartElement()) {
            if (reader.name() == u"message") {
                Message message;
                readMessage(reader, message);
                table.messages.append(message);
            } else {
                reader.skipCurrentElement();
            }
        }
    }
    if (reader.hasError()) {
        *error = QStringLiteral("line %1: %2").arg(reader.lineNumber()).arg(reader.errorString());
        return std::nullopt;
    }
    return table;
}

QByteArray TranslationTable::toXml() const {
    QByteArray xml;
    QXmlStreamWriter writer(&xml);
    writer.setAutoFormatting(true);
    writer.setAutoFormattingIndent(4);
    writer.writeStartDocument();
    writer.writeDTD(QStringLiteral("<!DOCTYPE TS>"));
    writer.writeStartElement(QStringLiteral("TS"));
    writer.writeAttribute(QStringLiteral("version"), QStringLiteral("2.1"));
    writer.writeAttribute(QStringLiteral("language"), language);
    writer.writeAttribute(QStringLiteral("sourcelanguage"), QStringLiteral("en"));
    writer.writeStartElement(QStringLiteral("context"));
    writer.writeTextElement(QStringLiteral("name"), QString());
    for (const Message& message : messages) {
        writer.writeStartElement(QStringLiteral("message"));
        writer.writeAttribute(QStringLiteral("id"), message.id);
        writer.writeTextElement(QStringLiteral("source"), message.source);
        if (!message.note.isEmpty())
            writer.writeTextElement(QStringLiteral("extracomment"), message.note);
        writer.writeStartElement(QStringLiteral("translation"));
        if (message.unfinished)
            writer.writeAttribute(QStringLiteral("type"), QStringLiteral("unfinished"));
        writer.writeCharacters(message.translation);
        writer.writeEndElement();
        writer.writeEndElement();
    }
    writer.writeEndElement();
    writer.writeEndElement();
    writer.writeEndDocument();
    return xml;
}

bool TranslationTable::write(const QString& path, QString* error) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(toXml()) < 0 || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

const TranslationTable::Message* TranslationTable::find(const QString& id) const {
    const auto it = std::find_if(messages.begin(), messages.end(), [&](const Message& m) { return m.id == id; });
    return it == messages.end() ? nullptr : &*it;
}

QList<int> TranslationTable::placeholders(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("%(\\d{1,2})"));
    QList<int> numbers;
    for (const QRegularExpressionMatch& match : pattern.globalMatch(text))
        numbers.append(match.captured(1).toInt());
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

} // namespace velmora
