#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace velmora {

// One Qt Linguist source table (.ts) of id-based messages, as the maintenance
// tool reads and writes it. Only what Velmora's tables use is kept: the id,
// the English reference text, the translation, the translator note and the
// unfinished mark.
class TranslationTable {
public:
    struct Message {
        QString id;
        QString source;
        QString translation;
        QString note;
        bool unfinished = false;
    };

    static std::optional<TranslationTable> read(const QString& path, QString* error);
    bool write(const QString& path, QString* error) const;
    QByteArray toXml() const;

    const Message* find(const QString& id) const;

    // Sorted placeholder numbers of a Qt format string: "%2 of %1" gives {1, 2}.
    static QList<int> placeholders(const QString& text);

    // Linguist's form, with an underscore: "de", "zh_Hans".
    QString language;
    QList<Message> messages;
};

} // namespace velmora
