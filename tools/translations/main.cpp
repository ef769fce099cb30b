// velmora-translations: keeps the Qt Linguist source tables in step with the
// keys Velmora looks up. lupdate cannot do this, because the keys reach
// localizedString() as plain strings rather than through qtTrId().
//
//   velmora-translations check DIR   report every problem; exit 1 if there is any
//   velmora-translations sync DIR    add missing keys, drop unused ones, refresh
//                                    the English reference texts and notes, and
//                                    create the table of a language that has none

#include "localization/LocalizationKeys.h"
#include "localization/SupportedLanguage.h"
#include "translations/TranslationTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTextStream>

#include <map>

namespace {

using velmora::TranslationTable;
namespace LocalizationKeys = velmora::LocalizationKeys;

const QString english = QStringLiteral("en");

QTextStream& out() {
    static QTextStream stream(stdout);
    return stream;
}

QStringList languageCodes() {
    QStringList codes;
    for (const velmora::SupportedLanguage& language : velmora::SupportedLanguage::allCases())
        if (language != velmora::SupportedLanguage::system)
            codes.append(language.rawValue());
    return codes;
}

QString fileName(const QString& code) { return QStringLiteral("velmora_%1.ts").arg(code); }

QString placeholderText(const QList<int>& numbers) {
    QStringList parts;
    for (const int number : numbers)
        parts.append(QStringLiteral("%") + QString::number(number));
    return parts.isEmpty() ? QStringLiteral("none") : parts.join(u' ');
}

// The tables found in the folder, by language code.
std::map<QString, TranslationTable> readTables(const QDir& dir, QStringList& problems) {
    std::map<QString, TranslationTable> tables;
    const QStringList files = dir.entryList({QStringLiteral("velmora_*.ts")}, QDir::Files, QDir::Name);
    for (const QString& file : files) {
        const QString code = QFileInfo(file).completeBaseName().mid(QStringLiteral("velmora_").size());
        QString error;
        std::optional<TranslationTable> table = TranslationTable::read(dir.filePath(file), &error);
        if (!table) {
            problems.append(QStringLiteral("%1: cannot be read: %2").arg(file, error));
            continue;
        }
        tables.emplace(code, std::move(*table));
    }
    return tables;
}

QStringList tableProblems(const QString& code, const TranslationTable& table, const TranslationTable* englishTable) {
    QStringList problems;
    const QString file = fileName(code);
    QSet<QString> expected;
    for (const LocalizationKeys::Entry& entry : LocalizationKeys::all()) {
        expected.insert(entry.key);
        const TranslationTable::Message* message = table.find(entry.key);
        if (message == nullptr) {
            problems.append(QStringLiteral("%1: %2 is missing").arg(file, entry.key));
            continue;
        }
        if (message->translation.trimmed().isEmpty()) {
            problems.append(QStringLiteral("%1: %2 has no text").arg(file, entry.key));
            continue;
        }
        if (message->unfinished)
            problems.append(QStringLiteral("%1: %2 is marked unfinished").arg(file, entry.key));
        QList<int> wanted;
        for (int number = 1; number <= entry.argumentCount; ++number)
            wanted.append(number);
        const TranslationTable::Message* reference = englishTable ? englishTable->find(entry.key) : nullptr;
        if (code != english && reference != nullptr) {
            wanted = TranslationTable::placeholders(reference->translation);
            if (message->source != reference->translation)
                problems.append(QStringLiteral("%1: %2 has an outdated English reference").arg(file, entry.key));
        }
        const QList<int> found = TranslationTable::placeholders(message->translation);
        if (found != wanted)
            problems.append(QStringLiteral("%1: %2 has placeholders %3, expected %4")
                                .arg(file, entry.key, placeholderText(found), placeholderText(wanted)));
    }
    QSet<QString> seen;
    for (const TranslationTable::Message& message : table.messages) {
        if (!expected.contains(message.id))
            problems.append(QStringLiteral("%1: %2 is not used by Velmora").arg(file, message.id));
        if (seen.contains(message.id))
            problems.append(QStringLiteral("%1: %2 appears twice").arg(file, message.id));
        seen.insert(message.id);
    }
    return problems;
}

QStringList allProblems(const std::map<QString, TranslationTable>& tables) {
    QStringList problems;
    const auto englishIt = tables.find(english);
    const TranslationTable* englishTable = englishIt == tables.end() ? nullptr : &englishIt->second;
    const QStringList codes = languageCodes();
    for (const QString& code : codes)
        if (tables.find(code) == tables.end())
            problems.append(QStringLiteral("%1 is missing").arg(fileName(code)));
    for (const auto& [code, table] : tables) {
        if (!codes.contains(code)) {
            problems.append(QStringLiteral("%1: no SupportedLanguage case has the code %2").arg(fileName(code), code));
            continue;
        }
        problems += tableProblems(code, table, englishTable);
    }
    return problems;
}

// The table as it should be: every key in list order with the current English
// reference text and note. A translation whose English text changed is kept
// but marked unfinished, so that Linguist shows it for review.
TranslationTable synced(const QString& code, const TranslationTable& old, const TranslationTable& englishTable) {
    TranslationTable table;
    table.language = QString(code).replace(u'-', u'_');
    for (const LocalizationKeys::Entry& entry : LocalizationKeys::all()) {
        const TranslationTable::Message* reference = englishTable.find(entry.key);
        const QString englishText = reference ? reference->translation : QString();
        TranslationTable::Message message{entry.key, englishText, QString(), entry.note, true};
        if (const TranslationTable::Message* existing = old.find(entry.key)) {
            message.translation = existing->translation;
            const bool englishChanged = code != english && existing->source != englishText;
            message.unfinished = existing->unfinished || existing->translation.isEmpty() || englishChanged;
        }
        if (code == english)
            message.source = message.translation;
        table.messages.append(message);
    }
    return table;
}

int sync(const QDir& dir) {
    QStringList problems;
    std::map<QString, TranslationTable> tables = readTables(dir, problems);
    if (!problems.isEmpty()) {
        for (const QString& problem : problems)
            out() << problem << Qt::endl;
        return 1;
    }
    // English first: every other table takes its reference texts from it.
    QStringList order = languageCodes();
    order.removeAll(english);
    order.prepend(english);
    for (const QString& code : order) {
        const TranslationTable& old = tables[code];
        TranslationTable table = synced(code, old, code == english ? old : tables[english]);
        if (table.toXml() == old.toXml())
            continue;
        QString error;
        if (!table.write(dir.filePath(fileName(code)), &error)) {
            out() << fileName(code) << ": cannot be written: " << error << Qt::endl;
            return 1;
        }
        out() << fileName(code) << ": updated" << Qt::endl;
        tables[code] = std::move(table);
    }
    problems = allProblems(tables);
    for (const QString& problem : problems)
        out() << problem << Qt::endl;
    out() << problems.size() << " texts still need a translator" << Qt::endl;
    return 0;
}

int check(const QDir& dir) {
    QStringList problems;
    const std::map<QString, TranslationTable> tables = readTables(dir, problems);
    problems += allProblems(tables);
    for (const QString& problem : problems)
        out() << problem << Qt::endl;
    if (!problems.isEmpty())
        return 1;
    out() << tables.size() << " tables, " << LocalizationKeys::all().size() << " keys each: complete" << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 3 || (arguments[1] != u"check" && arguments[1] != u"sync")) {
        out() << "usage: velmora-translations check|sync TRANSLATIONS_DIR" << Qt::endl;
        return 2;
    }
    const QDir dir(arguments[2]);
    if (!dir.exists()) {
        out() << dir.path() << ": no such folder" << Qt::endl;
        return 2;
    }
    return arguments[1] == u"check" ? check(dir) : sync(dir);
}
