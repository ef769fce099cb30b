#include "localization/LocalizationKeys.h"
#include "localization/LocalizationManager.h"
#include "localization/SupportedLanguage.h"

#include <QRegularExpression>
#include <QSet>
#include <QTranslator>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace velmora;

namespace {

QList<int> placeholders(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("%(\\d{1,2})"));
    QList<int> numbers;
    for (const QRegularExpressionMatch& match : pattern.globalMatch(text))
        numbers.append(match.captured(1).toInt());
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

QString text(const QTranslator& table, const QString& key) {
    return table.translate(nullptr, key.toUtf8().constData());
}

// Everything wrong with one compiled table: a key without text (lrelease drops
// empty translations, so a missing and an empty text look the same here), or
// placeholders other than the English table's. The English table itself must
// number its placeholders %1 to %n, n being the key's argument count.
QStringList tableProblems(const QTranslator& table, const QTranslator* english,
                          const QList<LocalizationKeys::Entry>& keys) {
    QStringList problems;
    for (const LocalizationKeys::Entry& entry : keys) {
        const QString found = text(table, entry.key);
        if (found.trimmed().isEmpty()) {
            problems.append(entry.key + QStringLiteral(": no text"));
            continue;
        }
        QList<int> wanted;
        if (english != nullptr) {
            wanted = placeholders(text(*english, entry.key));
        } else {
            for (int number = 1; number <= entry.argumentCount; ++number)
                wanted.append(number);
        }
        if (placeholders(found) != wanted)
            problems.append(entry.key + QStringLiteral(": placeholders differ"));
    }
    return problems;
}

bool loadTable(QTranslator& table, const QString& directory, const QString& code) {
    return table.load(LocalizationManager::tablePath(directory, code));
}

// Problems as one readable line each, for the assertion messages.
std::string listed(const QStringList& problems) { return problems.join(u'\n').toStdString(); }

QStringList languageCodes() {
    QStringList codes;
    for (const SupportedLanguage& language : SupportedLanguage::allCases())
        if (language != SupportedLanguage::system)
            codes.append(language.rawValue());
    return codes;
}

TEST(StringTables, everyLanguageHasAnEmbeddedTableWithEveryKeyAndTheEnglishPlaceholders) {
    QTranslator english;
    ASSERT_TRUE(loadTable(english, ":/i18n", "en")) << "tables are not embedded in velmora_core";
    EXPECT_EQ(listed(tableProblems(english, nullptr, LocalizationKeys::all())), "");
    for (const QString& code : languageCodes()) {
        SCOPED_TRACE(code.toStdString());
        QTranslator table;
        ASSERT_TRUE(loadTable(table, ":/i18n", code));
        EXPECT_EQ(listed(tableProblems(table, &english, LocalizationKeys::all())), "");
    }
}

TEST(StringTables, theCheckReportsMissingBlankAndMismatchedTexts) {
    const QList<LocalizationKeys::Entry> keys = {{"greeting", 0, {}}, {"farewell", 1, {}}};
    QTranslator english;
    QTranslator french;
    QTranslator german;
    ASSERT_TRUE(loadTable(english, ":/test-i18n", "en"));
    ASSERT_TRUE(loadTable(french, ":/test-i18n", "fr"));
    ASSERT_TRUE(loadTable(german, ":/test-i18n", "de"));

    EXPECT_EQ(listed(tableProblems(english, nullptr, keys)), "");
    EXPECT_EQ(listed(tableProblems(french, &english, keys)), "greeting: placeholders differ\nfarewell: no text");
    EXPECT_EQ(listed(tableProblems(german, &english, keys)), "greeting: no text\nfarewell: placeholders differ");
    // An English text must number its arguments from %1 without gaps.
    const QList<LocalizationKeys::Entry> twoArguments = {{"farewell", 2, {}}};
    EXPECT_EQ(listed(tableProblems(english, nullptr, twoArguments)), "farewell: placeholders differ");
}

TEST(StringTables, formattedTextsShowEveryArgumentInEveryLanguage) {
    for (const QString& code : languageCodes()) {
        QTranslator table;
        ASSERT_TRUE(loadTable(table, ":/i18n", code));
        for (const LocalizationKeys::Entry& entry : LocalizationKeys::all()) {
            if (entry.argumentCount == 0)
                continue;
            SCOPED_TRACE((code + u' ' + entry.key).toStdString());
            QString formatted = text(table, entry.key);
            QStringList arguments;
            for (int number = 1; number <= entry.argumentCount; ++number) {
                arguments.append(QStringLiteral("<argument %1>").arg(number));
                formatted = formatted.arg(arguments.last());
            }
            for (const QString& argument : arguments)
                EXPECT_EQ(formatted.count(argument), 1) << formatted.toStdString();
            EXPECT_FALSE(formatted.contains(QRegularExpression(QStringLiteral("%\\d"))));
        }
    }
}

TEST(StringTables, keysAreUniqueAndNamedInSnakeCase) {
    static const QRegularExpression snakeCase(QStringLiteral("^[a-z]+(_[a-z0-9]+)*$"));
    QSet<QString> seen;
    for (const LocalizationKeys::Entry& entry : LocalizationKeys::all()) {
        EXPECT_TRUE(snakeCase.match(entry.key).hasMatch()) << entry.key.toStdString();
        EXPECT_FALSE(seen.contains(entry.key)) << entry.key.toStdString() << " is listed twice";
        EXPECT_FALSE(entry.note.isEmpty()) << entry.key.toStdString() << " has no translator note";
        seen.insert(entry.key);
    }
}

TEST(StringTables, theProductNameStaysVelmoraSoWindowsCanBeFoundByTitle) {
    for (const QString& code : languageCodes()) {
        QTranslator table;
        ASSERT_TRUE(loadTable(table, ":/i18n", code));
        EXPECT_EQ(text(table, LocalizationKeys::appName), "Velmora") << code.toStdString();
    }
}

} // namespace
