#include "localization/LocalizationManager.h"
#include "localization/SupportedLanguage.h"

#include <QFileInfo>
#include <QSet>

#include <gtest/gtest.h>

#include <unordered_set>

using namespace velmora;

namespace {

TEST(SupportedLanguage, casesComeInPickerOrderWithSystemFirst) {
    QStringList rawValues;
    for (const SupportedLanguage& language : SupportedLanguage::allCases())
        rawValues.append(language.rawValue());
    EXPECT_EQ(rawValues, (QStringList{"system", "en", "fr", "de", "pt", "ru", "es", "uk", "ja", "zh-Hans"}));
    EXPECT_EQ(SupportedLanguage(SupportedLanguage::system).displayName(), "System Default");
    EXPECT_EQ(SupportedLanguage(SupportedLanguage::chineseSimplified).displayName(), "简体中文");
}

TEST(SupportedLanguage, rawValuesRoundTripAndNothingElseNamesACase) {
    for (const SupportedLanguage& language : SupportedLanguage::allCases())
        EXPECT_EQ(SupportedLanguage::fromRawValue(language.rawValue()), language);
    for (const QString rawValue : {"", "EN", "En", "zh-hans", "zh", "zh_Hans", " en", "en ", "System", "de-DE"})
        EXPECT_EQ(SupportedLanguage::fromRawValue(rawValue), std::nullopt) << rawValue.toStdString();
}

TEST(SupportedLanguage, displayNamesAreDistinctSoThePickerIsUnambiguous) {
    QSet<QString> names;
    for (const SupportedLanguage& language : SupportedLanguage::allCases())
        names.insert(language.displayName());
    EXPECT_EQ(names.size(), SupportedLanguage::allCases().size());
}

TEST(SupportedLanguage, hashingFollowsTheRawValue) {
    const QList<SupportedLanguage>& cases = SupportedLanguage::allCases();
    const QSet<SupportedLanguage> qtSet(cases.begin(), cases.end());
    const std::unordered_set<SupportedLanguage> stdSet(cases.begin(), cases.end());
    EXPECT_EQ(qtSet.size(), cases.size());
    EXPECT_EQ(stdSet.size(), static_cast<size_t>(cases.size()));
    for (const SupportedLanguage& language : cases)
        EXPECT_EQ(qHash(language, 7), qHash(language.rawValue(), 7));
}

TEST(SupportedLanguage, everyLanguageButSystemHasAnEmbeddedTable) {
    for (const SupportedLanguage& language : SupportedLanguage::allCases()) {
        const bool hasTable = QFileInfo(LocalizationManager::tablePath(":/i18n", language.rawValue())).isFile();
        EXPECT_EQ(hasTable, language != SupportedLanguage::system) << language.rawValue().toStdString();
    }
}

} // namespace
