#include "platform/Platform.h"
#include "fakes/FakeKeyboardEventTap.h"
#include "fakes/FakeTextInputSources.h"
#include "settings/Constants.h"
#include "settings/InMemorySettingsStore.h"
#include "settings/SettingsStore.h"
#include "support/CapturedOutput.h"
#include "switching/SwitchingEngine.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

constexpr uint64_t none = 0;
constexpr uint64_t command = ModifierFlag::command;
constexpr uint64_t control = ModifierFlag::control;
constexpr uint64_t option = ModifierFlag::option;
constexpr uint64_t shift = ModifierFlag::shift;

class SwitchingEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        store = std::make_shared<InMemorySettingsStore>();
        SettingsStore::setStandard(store);
        configureDefaultSettings();
        store->setBool(Constants::enableDebugMode, true);
        store->setBool(Constants::enableUsageStats, true);
        sources = std::make_shared<FakeTextInputSources>();
        sources->setSources({{QStringLiteral("ru"), QStringLiteral("Russian")},
                             {QStringLiteral("us"), QStringLiteral("English (US)")}});
        sources->setCurrentIndex(0);
        taps = std::make_shared<FakeKeyboardEventTapFactory>();
        Platform platform;
        platform.inputSources = sources;
        platform.eventTaps = taps;
        Platform::install(platform);
        engine = std::make_unique<SwitchingEngine>(shuttingDown, [this] { ++tapCreatedCalls; });
        engine->createEventTap();
        output.clear();
    }
    void TearDown() override {
        engine.reset();
        Platform::install({});
        SettingsStore::setStandard(nullptr);
    }

    // Sends one event through the tap and checks that it comes back untouched.
    void send(uint32_t type, uint64_t flags) {
        KeyboardEvent event{flags, 42};
        KeyboardEvent* returned = taps->send(type, &event);
        EXPECT_EQ(returned, &event);
        EXPECT_EQ(event.flags, flags);
        EXPECT_EQ(event.keycode, 42u);
    }
    QString current() const {
        const InputSourceRef source = sources->copyCurrentKeyboardInputSource();
        return source ? *source->identifier : QStringLiteral("<none>");
    }
    QStringList directions() const {
        QStringList found;
        for (const QString& line : output.linesStartingWith(QStringLiteral("   Parameters: ")))
            found.append(line.section(QLatin1Char('"'), 3, 3));
        return found;
    }

    test::CapturedOutput output;
    std::shared_ptr<InMemorySettingsStore> store;
    std::shared_ptr<FakeTextInputSources> sources;
    std::shared_ptr<FakeKeyboardEventTapFactory> taps;
    bool shuttingDown = false;
    int tapCreatedCalls = 0;
    std::unique_ptr<SwitchingEngine> engine;
};

TEST_F(SwitchingEngineTest, TapIsCreatedScheduledAndEnabledOnceForTheThreeKeyboardTypes) {
    ASSERT_NE(engine->eventTap, nullptr);
    const auto record = taps->latest();
    EXPECT_EQ(record->eventMask, 0x1C00u);
    EXPECT_TRUE(record->scheduled);
    EXPECT_TRUE(record->enabled);
    EXPECT_EQ(record->userInfo, engine.get());
    EXPECT_EQ(tapCreatedCalls, 1);

    engine->createEventTap();
    EXPECT_EQ(taps->createdCount(), 1);
    EXPECT_EQ(tapCreatedCalls, 1);
    EXPECT_TRUE(output.lines().last().endsWith(QStringLiteral("createEventTap(): Event tap already exists")));
}

TEST_F(SwitchingEngineTest, RefusedTapLeavesNoTapAndNoSwitching) {
    engine->tearDownEventTap();
    engine = std::make_unique<SwitchingEngine>(shuttingDown);
    taps->setRefuseCreation(true);
    engine->createEventTap();
    EXPECT_EQ(engine->eventTap, nullptr);
    EXPECT_TRUE(output.lines().last().endsWith(QStringLiteral("Failed to create event tap")));
    send(EventType::flagsChanged, control);
    EXPECT_EQ(current(), QStringLiteral("ru"));
}

TEST_F(SwitchingEngineTest, CommandAloneSwitchesAtPressAndRestoresAtRelease) {
    send(EventType::flagsChanged, command);
    EXPECT_EQ(current(), QStringLiteral("us"));
    EXPECT_TRUE(engine->modifierPressed);
    ASSERT_NE(engine->savedInputSource, nullptr);
    EXPECT_EQ(*engine->savedInputSource->identifier, QStringLiteral("ru"));

    send(EventType::flagsChanged, none);
    EXPECT_EQ(current(), QStringLiteral("ru"));
    EXPECT_FALSE(engine->modifierPressed);
    EXPECT_EQ(engine->savedInputSource, nullptr);
    EXPECT_EQ(directions(), (QStringList{"to_english", "to_previous"}));
    EXPECT_EQ(sources->selections(), (QStringList{"us", "ru"}));
}

TEST_F(SwitchingEngineTest, ShortcutKeysPassWithoutActionWhileTheTriggerIsHeld) {
    send(EventType::flagsChanged, command);
    sources->clearSelections();
    send(EventType::keyDown, command);
    send(EventType::keyUp, command);
    EXPECT_TRUE(sources->selections().isEmpty());
    EXPECT_EQ(current(), QStringLiteral("us"));
    send(EventType::flagsChanged, none);
    EXPECT_EQ(sources->selections(), QStringList{"ru"});
}

TEST_F(SwitchingEngineTest, OverlappingTriggersSwitchOnceAndRestoreAtTheLastRelease) {
    send(EventType::flagsChanged, command);
    send(EventType::flagsChanged, command | option);
    send(EventType::flagsChanged, option);
    EXPECT_EQ(current(), QStringLiteral("us"));
    send(EventType::flagsChanged, none);
    EXPECT_EQ(current(), QStringLiteral("ru"));
    EXPECT_EQ(sources->selections(), (QStringList{"us", "ru"}));
    EXPECT_EQ(directions(), (QStringList{"to_english", "to_previous"}));
}

TEST_F(SwitchingEngineTest, ReleaseWhileANonTriggerModifierIsStillHeldRestores) {
    send(EventType::flagsChanged, control);
    send(EventType::flagsChanged, control | shift);
    send(EventType::flagsChanged, shift);
    EXPECT_EQ(current(), QStringLiteral("ru"));
    EXPECT_FALSE(engine->modifierPressed);
}

TEST_F(SwitchingEngineTest, NonTriggerBitsNeverSwitch) {
    const uint64_t capsLock = ModifierFlag::capsLock;
    const uint64_t function = ModifierFlag::function;
    const uint64_t deviceSideBits = 0x2 | 0x4 | 0x8 | 0x10 | 0x20 | 0x40 | 0x2000;
    for (const uint64_t flags : {shift, capsLock, function, deviceSideBits, capsLock | shift | function}) {
        send(EventType::flagsChanged, flags);
        send(EventType::keyDown, flags);
        send(EventType::keyUp, flags);
        send(EventType::flagsChanged, none);
    }
    EXPECT_TRUE(sources->selections().isEmpty());
    EXPECT_FALSE(engine->modifierPressed);
}

TEST_F(SwitchingEngineTest, ShiftSwitchesOnlyWhileItsSettingIsOn) {
    store->setBool(Constants::useShiftKey, true);
    send(EventType::flagsChanged, shift);
    send(EventType::keyDown, shift);
    EXPECT_EQ(current(), QStringLiteral("us"));
    send(EventType::keyUp, shift);
    send(EventType::flagsChanged, none);
    EXPECT_EQ(current(), QStringLiteral("ru"));

    store->setBool(Constants::useShiftKey, false);
    send(EventType::flagsChanged, shift);
    EXPECT_EQ(current(), QStringLiteral("ru"));
}

TEST_F(SwitchingEngineTest, EachTriggerHonoursItsOwnSetting) {
    const std::pair<const QString&, uint64_t> triggers[] = {
        {Constants::useCommandKey, command},
        {Constants::useControlKey, control},
        {Constants::useOptionKey, option},
    };
    for (const auto& [key, bit] : triggers) {
        store->setBool(key, false);
        send(EventType::flagsChanged, bit);
        EXPECT_EQ(current(), QStringLiteral("ru")) << key.toStdString();
        EXPECT_FALSE(engine->isTriggerModifierPressed(bit));
        store->setBool(key, true);
        EXPECT_TRUE(engine->isTriggerModifierPressed(bit));
        send(EventType::flagsChanged, none);
    }
}

TEST_F(SwitchingEngineTest, EnglishAlreadyCurrentSavesAndSelectsNothing) {
    sources->setCurrentIndex(1);
    send(EventType::flagsChanged, control);
    EXPECT_TRUE(engine->modifierPressed);
    EXPECT_EQ(engine->savedInputSource, nullptr);
    send(EventType::flagsChanged, none);
    EXPECT_TRUE(sources->selections().isEmpty());
    EXPECT_TRUE(directions().isEmpty());
}

TEST_F(SwitchingEngineTest, NoCurrentSourceLeavesThePressStateOnly) {
    sources->setCurrentIndex(-1);
    send(EventType::flagsChanged, control);
    EXPECT_TRUE(engine->modifierPressed);
    EXPECT_EQ(engine->savedInputSource, nullptr);
    EXPECT_TRUE(sources->selections().isEmpty());
}

TEST_F(SwitchingEngineTest, FailedEnglishSelectionStillSavesAndRestores) {
    sources->setSources({{QStringLiteral("ru"), QStringLiteral("Russian")},
                         {QStringLiteral("de"), QStringLiteral("German")}});
    sources->setCurrentIndex(0);
    send(EventType::flagsChanged, control);
    ASSERT_NE(engine->savedInputSource, nullptr);
    EXPECT_EQ(directions(), QStringList{"to_english"});
    // Nothing of Velmora's to tell a change by others from: restored as ever.
    sources->stepBySomeoneElse(1);
    send(EventType::flagsChanged, none);
    EXPECT_EQ(sources->selections(), QStringList{"ru"});
    EXPECT_EQ(directions(), (QStringList{"to_english", "to_previous"}));
}

TEST_F(SwitchingEngineTest, SwitchingOffOnlyTogglesThePressState) {
    store->setBool(Constants::switchToEnglish, false);
    send(EventType::flagsChanged, control);
    EXPECT_TRUE(engine->modifierPressed);
    send(EventType::flagsChanged, none);
    EXPECT_FALSE(engine->modifierPressed);
    EXPECT_TRUE(sources->selections().isEmpty());
}

TEST_F(SwitchingEngineTest, RestoringOffKeepsTheSavedSourceUntilItIsOnAgain) {
    store->setBool(Constants::restorePreviousLayout, false);
    send(EventType::flagsChanged, control);
    send(EventType::flagsChanged, none);
    EXPECT_EQ(current(), QStringLiteral("us"));
    ASSERT_NE(engine->savedInputSource, nullptr);

    // English is current now: later presses keep the leftover source.
    send(EventType::flagsChanged, control);
    send(EventType::flagsChanged, none);
    EXPECT_EQ(*engine->savedInputSource->identifier, QStringLiteral("ru"));

    store->setBool(Constants::restorePreviousLayout, true);
    send(EventType::flagsChanged, control);
    send(EventType::flagsChanged, none);
    EXPECT_EQ(current(), QStringLiteral("ru"));
    EXPECT_EQ(engine->savedInputSource, nullptr);

    // A toggle by someone else during the hold stays where it ended.
    store->setBool(Constants::restorePreviousLayout, false);
    send(EventType::flagsChanged, control);
    sources->stepBySomeoneElse(1);
    send(EventType::flagsChanged, none);
    EXPECT_EQ(current(), QStringLiteral("ru"));
    EXPECT_NE(engine->savedInputSource, nullptr);
}

TEST_F(SwitchingEngineTest, LeftoverSavedSourceIsRestoredEvenWithSwitchingOff) {
    store->setBool(Constants::restorePreviousLayout, false);
    send(EventType::flagsChanged, control);
    send(EventType::flagsChanged, none);
    store->setBool(Constants::restorePreviousLayout, true);
    store->setBool(Constants::switchToEnglish, false);
    send(EventType::flagsChanged, control);
    send(EventType::flagsChanged, none);
    EXPECT_EQ(current(), QStringLiteral("ru"));
}

TEST_F(SwitchingEngineTest, TriggerAlreadyHeldWhenTheTapStartsSwitchesAtTheFirstKeyDown) {
    // The flags-changed event for the press happened before the tap existed.
    send(EventType::keyUp, control);
    EXPECT_FALSE(engine->modifierPressed);
    send(EventType::keyDown, control);
    EXPECT_EQ(current(), QStringLiteral("us"));
    send(EventType::keyUp, none);
    EXPECT_EQ(current(), QStringLiteral("ru"));
}

TEST_F(SwitchingEngineTest, KeyDownWithoutTriggerNeverRestoresAndKeyUpWithTriggerNeverSwitches) {
    send(EventType::flagsChanged, control);
    send(EventType::keyDown, none);
    EXPECT_TRUE(engine->modifierPressed);
    send(EventType::flagsChanged, none);
    send(EventType::keyUp, control);
    EXPECT_FALSE(engine->modifierPressed);
    EXPECT_EQ(sources->selections(), (QStringList{"us", "ru"}));
}

TEST_F(SwitchingEngineTest, AllTriggersTurnedOffWhilePressedRestoreAtTheNextEvent) {
    send(EventType::flagsChanged, command | control);
    for (const QString& key : {Constants::useCommandKey, Constants::useControlKey, Constants::useOptionKey,
                               Constants::useShiftKey})
        store->setBool(key, false);
    send(EventType::keyUp, command | control);
    EXPECT_EQ(current(), QStringLiteral("ru"));
    EXPECT_FALSE(engine->modifierPressed);
}

TEST_F(SwitchingEngineTest, OtherEventTypesAreIgnoredAndPassedOn) {
    for (const uint32_t type : {0u, 1u, 5u, 9u, 13u, 14u, 29u}) {
        KeyboardEvent event{control, 7};
        EXPECT_EQ(engine->handleKeyboardEvent(type, &event), &event);
        EXPECT_EQ(event.flags, control);
    }
    EXPECT_FALSE(engine->modifierPressed);
    EXPECT_TRUE(sources->selections().isEmpty());
}

TEST_F(SwitchingEngineTest, CallbackWithoutUserInfoPassesTheEventOn) {
    KeyboardEvent event{control, 1};
    EXPECT_EQ(SwitchingEngine::eventTapCallback(EventType::flagsChanged, &event, nullptr), &event);
    EXPECT_FALSE(engine->modifierPressed);
}

TEST_F(SwitchingEngineTest, TapDisabledBySystemIsEnabledAgain) {
    for (const uint32_t notice : {EventType::tapDisabledByTimeout, EventType::tapDisabledByUserInput}) {
        taps->disableLatestBySystem(notice);
        EXPECT_TRUE(taps->latest()->enabled);
    }
    EXPECT_EQ(output.linesStartingWith(QStringLiteral("🐛")).size(), 2);
    EXPECT_TRUE(output.lines().first().endsWith(QStringLiteral("re-enabled after being disabled by timeout")));
    send(EventType::flagsChanged, control);
    EXPECT_EQ(current(), QStringLiteral("us"));
}

TEST_F(SwitchingEngineTest, NothingHappensAfterShutdown) {
    send(EventType::flagsChanged, control);
    shuttingDown = true;
    engine->tearDownEventTap();
    const auto record = taps->latest();
    EXPECT_FALSE(record->enabled);
    EXPECT_TRUE(record->invalidated);
    EXPECT_EQ(engine->eventTap, nullptr);
    EXPECT_TRUE(output.lines().last().endsWith(QStringLiteral("Event tap disabled and invalidated")));
    // No layout is restored at shutdown and the press state is kept.
    EXPECT_EQ(current(), QStringLiteral("us"));
    EXPECT_TRUE(engine->modifierPressed);

    KeyboardEvent event{none, 0};
    EXPECT_EQ(SwitchingEngine::eventTapCallback(EventType::flagsChanged, &event, engine.get()), &event);
    engine->restoreSavedLayout();
    engine->switchToEnglishLayout();
    EXPECT_TRUE(engine->modifierPressed);
    EXPECT_EQ(current(), QStringLiteral("us"));

    engine->createEventTap();
    EXPECT_EQ(taps->createdCount(), 1);
    EXPECT_EQ(engine->eventTap, nullptr);
}

TEST_F(SwitchingEngineTest, SwitchingPathPrintsTheInputSourceLines) {
    send(EventType::flagsChanged, control);
    EXPECT_EQ(output.linesStartingWith(QStringLiteral("⌨️")),
              (QStringList{"⌨️ Current layout: Russian", "⌨️ Layout ru is English: false", "⌨️ Found 2 input sources",
                           "⌨️ Layout ru is English: false", "⌨️ Layout us is English: true",
                           "⌨️ Switched to English layout 'English (US)', result: 0"}));
}

// A layout change made by someone else while a trigger is held: a keymap
// reload, then a layout selected by name, then "next layout" toggles.
struct ForeignChangeCase {
    const char* name;
    QStringList layouts;
    int startIndex;
    QStringList reloadedLayouts; // empty: no reload
    int selectedIndex;           // -1: no selection
    ForeignLayoutChange::Kind selectionKind;
    QList<int> toggles;
    QString expectedLayout;
    QString keptLine; // part of "Kept layout …"; empty: the saved layout is restored as usual
};

TEST_F(SwitchingEngineTest, ReleaseKeepsALayoutChangeMadeByOthersDuringTheHold) {
    constexpr auto selection = ForeignLayoutChange::Kind::selection;
    constexpr auto unknown = ForeignLayoutChange::Kind::unknown;
    constexpr auto noLayoutChosen = ForeignLayoutChange::Kind::none;
    const QStringList two{"ru", "us"};
    const QStringList three{"ru", "us", "de"};
    const ForeignChangeCase cases[] = {
        {"toggle forward", two, 0, {}, -1, selection, {1}, "us", "us: switched 1 step(s) from ru during"},
        {"toggle back", two, 0, {}, -1, selection, {-1}, "us", "us: switched -1 step(s)"},
        {"two toggles cancel out", two, 0, {}, -1, selection, {1, 1}, "ru", {}},
        {"three layouts forward", three, 0, {}, -1, selection, {1}, "us", "us: switched 1 step(s)"},
        {"three layouts back", three, 0, {}, -1, selection, {-1}, "de", "de: switched -1 step(s)"},
        {"three layouts, two toggles", three, 0, {}, -1, selection, {1, 1}, "de", "de: switched 2 step(s)"},
        {"wraps around", three, 2, {}, -1, selection, {1}, "ru", "ru: switched 1 step(s) from de"},
        {"a selection is kept", three, 0, {}, 2, selection, {}, "de", "de: selected during the hold"},
        {"a toggle after a selection", three, 0, {}, 2, selection, {1}, "ru", "ru: selected"},
        {"an untold change is kept", three, 0, {}, 2, unknown, {}, "de", "de: changed during the"},
        {"a change that chose no layout", three, 0, {}, 2, noLayoutChosen, {}, "ru", {}},
        {"ru reloaded away", two, 0, {"de", "us"}, -1, selection, {1}, "de", "and ru is gone"},
    };
    const auto install = [this](const QStringList& layouts) {
        QList<InputSource> list;
        for (const QString& layout : layouts)
            list.append({layout, layout});
        sources->setSources(list);
    };
    for (const ForeignChangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        install(c.layouts);
        sources->setCurrentIndex(c.startIndex);
        output.clear();
        send(EventType::flagsChanged, control);
        if (!c.reloadedLayouts.isEmpty())
            install(c.reloadedLayouts);
        if (c.selectedIndex >= 0)
            sources->selectBySomeoneElse(c.selectedIndex, c.selectionKind);
        for (const int steps : c.toggles)
            sources->stepBySomeoneElse(steps);
        send(EventType::flagsChanged, none);
        EXPECT_EQ(current(), c.expectedLayout);
        EXPECT_EQ(engine->savedInputSource, nullptr);
        EXPECT_EQ(engine->selectedInputSource, nullptr);
        const QStringList logLines = output.linesStartingWith(QStringLiteral("🐛"));
        if (c.keptLine.isEmpty()) {
            EXPECT_EQ(directions(), (QStringList{"to_english", "to_previous"}));
            EXPECT_TRUE(logLines.filter(QStringLiteral("Kept layout")).isEmpty());
        } else {
            EXPECT_EQ(directions(), QStringList{"to_english"});
            ASSERT_EQ(logLines.filter(QStringLiteral("Kept layout")).size(), 1);
            EXPECT_TRUE(logLines.filter(QStringLiteral("Kept layout")).first().contains(c.keptLine));
        }
    }
}

} // namespace
