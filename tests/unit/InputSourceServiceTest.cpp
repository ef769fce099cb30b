#include "switching/SystemUtils.h"
#include "platform/Platform.h"
#include "fakes/FakeTextInputSources.h"
#include "settings/Constants.h"
#include "settings/InMemorySettingsStore.h"
#include "support/CapturedOutput.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

class InputSourceServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        sources = std::make_shared<FakeTextInputSources>();
        Platform platform;
        platform.inputSources = sources;
        Platform::install(platform);
    }
    void TearDown() override { Platform::install({}); }
    void use(QList<InputSource> list, int current = 0) {
        sources->setSources(std::move(list));
        sources->setCurrentIndex(current);
    }

    test::CapturedOutput output;
    std::shared_ptr<FakeTextInputSources> sources;
};

InputSource source(const char* id, const char* name) {
    InputSource s;
    if (id)
        s.identifier = QString::fromUtf8(id);
    if (name)
        s.localizedName = QString::fromUtf8(name);
    return s;
}

TEST_F(InputSourceServiceTest, CurrentSourceIsPrintedWithItsNameOrUnknown) {
    use({source("ru", "Russian"), source("us", nullptr)}, 0);
    ASSERT_NE(SystemUtils::getCurrentInputSource(), nullptr);
    sources->setCurrentIndex(1);
    ASSERT_NE(SystemUtils::getCurrentInputSource(), nullptr);
    EXPECT_EQ(output.lines(), (QStringList{"⌨️ Current layout: Russian", "⌨️ Current layout: Unknown"}));
}

TEST_F(InputSourceServiceTest, NoCurrentSourceOrNoPlatformGivesNullSilently) {
    use({source("ru", "Russian")}, -1);
    EXPECT_EQ(SystemUtils::getCurrentInputSource(), nullptr);
    Platform::install({});
    EXPECT_EQ(SystemUtils::getCurrentInputSource(), nullptr);
    EXPECT_TRUE(output.lines().isEmpty());
}

TEST_F(InputSourceServiceTest, EnglishMeansOneOfThreeWholeCaseSensitiveIdentifiers) {
    const std::pair<const char*, bool> cases[] = {
        {"us", true},       {"us(basic)", true}, {"us(intl)", true},   {"US", false},
        {"us(dvorak)", false}, {"gb", false},    {"us ", false},       {"ru", false},
        {"(intl)", false},  {"us(intl)x", false}, {"", false},
    };
    for (const auto& [id, english] : cases) {
        const auto ref = std::make_shared<const InputSource>(source(id, "x"));
        EXPECT_EQ(SystemUtils::isEnglishLayout(ref), english) << id;
    }
    EXPECT_EQ(output.lines().first(), QStringLiteral("⌨️ Layout us is English: true"));
    EXPECT_EQ(output.lines().at(3), QStringLiteral("⌨️ Layout US is English: false"));
}

TEST_F(InputSourceServiceTest, MissingIdentifierIsNotEnglishAndPrintsNothing) {
    EXPECT_FALSE(SystemUtils::isEnglishLayout(std::make_shared<const InputSource>(source(nullptr, "x"))));
    EXPECT_FALSE(SystemUtils::isEnglishLayout(nullptr));
    EXPECT_TRUE(output.lines().isEmpty());
}

TEST_F(InputSourceServiceTest, FirstEnglishEntryInTheSystemOrderWins) {
    use({source("ru", "Russian"), source("us(intl)", "English (US, intl.)"), source("us", "English (US)")});
    qsizetype linesAtRequest = -1;
    sources->setOnSelect([&] { linesAtRequest = output.lines().size(); });
    EXPECT_TRUE(SystemUtils::selectEnglishLayout());
    EXPECT_EQ(linesAtRequest, 0); // the layout is requested before the lines that describe it
    EXPECT_EQ(sources->selections(), QStringList{"us(intl)"});
    EXPECT_EQ(output.lines(), (QStringList{"⌨️ Found 3 input sources", "⌨️ Layout ru is English: false",
                                           "⌨️ Layout us(intl) is English: true",
                                           "⌨️ Switched to English layout 'English (US, intl.)', result: 0"}));
}

TEST_F(InputSourceServiceTest, EntriesWithoutIdentifierAreSkippedSilently) {
    use({source(nullptr, "Mystery"), source("us", nullptr)});
    EXPECT_TRUE(SystemUtils::selectEnglishLayout());
    EXPECT_EQ(output.lines(), (QStringList{"⌨️ Found 2 input sources", "⌨️ Layout us is English: true",
                                           "⌨️ Switched to English layout 'Unknown', result: 0"}));
}

TEST_F(InputSourceServiceTest, CurrentEnglishSourceIsSelectedAgain) {
    use({source("us", "English (US)")}, 0);
    EXPECT_TRUE(SystemUtils::selectEnglishLayout());
    EXPECT_EQ(sources->selections(), QStringList{"us"});
}

TEST_F(InputSourceServiceTest, NoEnglishSourceReportsAndLeavesTheLayout) {
    use({source("ru", "Russian"), source("us(dvorak)", "English (Dvorak)")}, 0);
    EXPECT_FALSE(SystemUtils::selectEnglishLayout());
    EXPECT_TRUE(sources->selections().isEmpty());
    EXPECT_EQ(output.lines().last(), QStringLiteral("❌ No English layout found"));
    EXPECT_EQ(output.linesStartingWith(QStringLiteral("⌨️ Layout")).size(), 2);
}

TEST_F(InputSourceServiceTest, RefusedSelectionReportsItsStatusAndStopsTheWalk) {
    use({source("ru", "Russian"), source("us", "English (US)"), source("us(intl)", "Intl")}, 0);
    sources->setSelectStatus(-50);
    EXPECT_FALSE(SystemUtils::selectEnglishLayout());
    EXPECT_EQ(sources->selections(), QStringList{"us"});
    EXPECT_EQ(output.lines().last(), QStringLiteral("⌨️ Switched to English layout 'English (US)', result: -50"));
}

TEST_F(InputSourceServiceTest, MissingListOrPlatformIsReported) {
    sources->setListAvailable(false);
    EXPECT_FALSE(SystemUtils::selectEnglishLayout());
    Platform::install({});
    EXPECT_FALSE(SystemUtils::selectEnglishLayout());
    EXPECT_EQ(output.lines(),
              (QStringList{"❌ Could not get input source list", "❌ Could not get input source list"}));
}

TEST_F(InputSourceServiceTest, EmptyListFindsNoEnglishLayout) {
    use({}, -1);
    EXPECT_FALSE(SystemUtils::selectEnglishLayout());
    EXPECT_EQ(output.lines(), (QStringList{"⌨️ Found 0 input sources", "❌ No English layout found"}));
}

TEST_F(InputSourceServiceTest, TheShortcutLayoutSettingNamesTheOnlyEnglishLayoutWhileItIsInstalled) {
    auto store = std::make_shared<InMemorySettingsStore>();
    SettingsStore::setStandard(store);
    struct Case {
        QStringList layouts;
        std::optional<QString> setting;
        QString selected; // empty: none
    };
    const Case cases[] = {
        {{"ru", "gb"}, "gb", "gb"},
        {{"ru", "us", "gb"}, "gb", "gb"},
        {{"ru", "us(dvorak)", "us"}, "us(dvorak)", "us(dvorak)"},
        {{"gb", "us"}, "gb", "gb"},
        {{"ru", "us"}, "gb", "us"},
        {{"ru", "us"}, "", "us"},
        {{"ru", "gb"}, std::nullopt, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layouts.join(',').toStdString() + " / " +
                     c.setting.value_or("(absent)").toStdString());
        QList<InputSource> list;
        for (const QString& layout : c.layouts)
            list.append({layout, layout});
        use(list);
        sources->clearSelections();
        if (c.setting)
            store->setString(Constants::shortcutLayout, *c.setting);
        else
            store->removeObject(Constants::shortcutLayout);
        EXPECT_EQ(SystemUtils::selectEnglishLayout(), !c.selected.isEmpty());
        EXPECT_EQ(sources->selections().value(0), c.selected);
        for (const InputSourceRef& layout : sources->sources())
            EXPECT_EQ(SystemUtils::isEnglishLayout(layout), layout->identifier == c.selected)
                << layout->identifier->toStdString();
    }
    SettingsStore::setStandard(nullptr);
}

} // namespace
