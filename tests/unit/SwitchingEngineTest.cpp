#include "switching/SwitchingEngine.h"
#include "fakes/FakeFocusedApplication.h"
#include "fakes/FakeKeyboardEventTap.h"
#include "fakes/FakeTextInputSources.h"
#include "platform/Platform.h"
#include "settings/Constants.h"
#include "settings/InMemorySettingsStore.h"
#include "switching/SystemUtils.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

constexpr int64_t cmd = ModifierFlag::command, ctrl = ModifierFlag::control, opt = ModifierFlag::option,
                  shift = ModifierFlag::shift;
constexpr uint32_t F = EventType::flagsChanged, D = EventType::keyDown, U = EventType::keyUp;
// What others do during a hold: "next layout" pressed `value` times; the layout at index `value` picked, told
// as a selection, untold, or as choosing none; a keymap reload, ru gone (0) or last (1). Restoring on.
// The desktop answering selections with status `value`; the pending restore's timer coming due.
constexpr uint32_t step = 100, pick = 101, pickUntold = 102, pickNone = 103, reload = 104, restoreOn = 105,
                   answers = 106, due = 107;
// The application in front: `value` indexes `inFront` (4: on a desktop that tells no focus, 5: no follower);
// the list of excluded ones becomes the terminal alone.
constexpr uint32_t focusOn = 108, excludeTerminal = 109;
// Layouts kept as LayoutScope `value`; window `value` (of application value / 2) in front.
constexpr uint32_t scope = 110, window = 111;
const std::optional<QString> inFront[] = {std::nullopt, "steam", "org.gnome.Terminal", "STEAM", "steam"};
const QString& restoring = Constants::restorePreviousLayout;

class SwitchingEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        SettingsStore::setStandard(store = std::make_shared<InMemorySettingsStore>());
        configureDefaultSettings();
        Platform platform;
        platform.inputSources = sources = std::make_shared<FakeTextInputSources>();
        platform.eventTaps = taps = std::make_shared<FakeKeyboardEventTapFactory>();
        platform.focus = focus = std::make_shared<FakeFocusedApplication>();
        Platform::install(platform);
        store->setStringList(Constants::excludedApplications, {"Steam", " com.example.VM"});
        use({"ru", "us"});
        engine = std::make_unique<SwitchingEngine>(shuttingDown, [this] { ++tapCreatedCalls; });
        engine->pendingRestore.firstDelay = {};
        engine->createEventTap();
        focus->setChangedHandler([this] { engine->focusChanged(); });
    }
    void TearDown() override { engine.reset(), Platform::install({}), SettingsStore::setStandard(nullptr); }
    // Events are only observed: each comes back untouched.
    void send(uint32_t type, uint64_t flags) {
        KeyboardEvent event{flags, 42};
        EXPECT_TRUE(taps->send(type, &event) == &event && event.flags == flags && event.keycode == 42);
    }
    // Layouts by identifier, the first current; an empty one has none.
    void use(const QStringList& identifiers) {
        QList<InputSource> list;
        for (const QString& id : identifiers)
            list.append(id.isEmpty() ? InputSource{} : InputSource{id, id + " name"});
        sources->setSources(list);
        sources->setCurrentIndex(0);
    }
    QString current() const {
        const InputSourceRef source = sources->copyCurrentKeyboardInputSource();
        return source ? *source->identifier : QString();
    }

    std::shared_ptr<InMemorySettingsStore> store;
    std::shared_ptr<FakeTextInputSources> sources;
    std::shared_ptr<FakeKeyboardEventTapFactory> taps;
    std::shared_ptr<FakeFocusedApplication> focus;
    bool shuttingDown = false;
    int tapCreatedCalls = 0;
    std::unique_ptr<SwitchingEngine> engine;
};

TEST_F(SwitchingEngineTest, DecisionTable) {
    const QStringList three{"ru", "us", "de"};
    const struct {
        const char* name;
        std::vector<std::pair<uint32_t, int64_t>> script;
        QStringList selections;
        QString current;
        std::pair<QString, bool> setting = {};
        QStringList layouts = {"ru", "us"};
        int32_t selectStatus = 0;
    } rows[] = {
        {"press and release", {{F, cmd}, {F, 0}}, {"us", "ru"}, "ru"},
        {"overlapping triggers", {{F, cmd}, {F, cmd | opt}, {F, opt}, {F, 0}}, {"us", "ru"}, "ru"},
        {"non-trigger left held", {{F, ctrl}, {F, ctrl | shift}, {F, shift}}, {"us", "ru"}, "ru"},
        {"non-trigger bits", {{F, shift | 0x81207e}, {D, shift | 0x10000}, {F, 0}}, {}, "ru"},
        {"shift as a trigger", {{F, shift}, {D, shift}}, {"us"}, "us", {Constants::useShiftKey, true}},
        {"trigger turned off", {{F, ctrl}, {D, ctrl}}, {}, "ru", {Constants::useControlKey, false}},
        {"switching off", {{F, ctrl}, {F, 0}}, {}, "ru", {Constants::switchToEnglish, false}},
        {"restoring off", {{F, ctrl}, {F, 0}, {F, ctrl}, {F, 0}}, {"us"}, "us", {restoring, false}},
        {"leftover restored",
         {{F, ctrl}, {F, 0}, {restoreOn, 0}, {F, ctrl}, {F, 0}},
         {"us", "ru"},
         "ru",
         {restoring, false}},
        {"held before the tap", {{U, ctrl}, {D, ctrl}, {U, 0}}, {"us", "ru"}, "ru"},
        {"key down without trigger", {{F, ctrl}, {D, 0}}, {"us"}, "us"},
        {"key up with trigger", {{U, ctrl}}, {}, "ru"},
        {"English already current", {{pick, 1}, {F, ctrl}, {F, 0}}, {}, "us"},
        {"no current layout", {{pick, -1}, {F, ctrl}, {F, 0}}, {}, ""},
        {"no English layout", {{F, ctrl}, {step, 1}, {F, 0}}, {"ru"}, "ru", {}, {"ru", "de"}},
        {"refused selection", {{F, ctrl}, {step, -1}, {D, ctrl}, {F, 0}}, {"us", "ru"}, "de", {}, three, -50},
        {"toggle", {{F, ctrl}, {step, 1}, {F, 0}}, {"us", "us"}, "us"},
        {"two toggles cancel", {{F, ctrl}, {step, 1}, {step, 1}, {F, 0}}, {"us", "ru"}, "ru"},
        {"toggle back", {{F, ctrl}, {step, -1}, {F, 0}}, {"us", "de"}, "de", {}, three},
        {"selection kept", {{F, ctrl}, {pick, 2}, {F, 0}}, {"us"}, "de", {}, three},
        {"toggle after a selection", {{F, ctrl}, {pick, 2}, {step, 1}, {F, 0}}, {"us"}, "ru", {}, three},
        {"key after a selection", {{F, ctrl}, {pick, 0}, {D, ctrl}, {F, 0}}, {"us"}, "ru"},
        {"untold change kept", {{F, ctrl}, {pickUntold, 2}, {F, 0}}, {"us"}, "de", {}, three},
        {"change without layout", {{F, ctrl}, {pickNone, 2}, {F, 0}}, {"us", "ru"}, "ru", {}, three},
        {"saved layout reloaded away", {{F, ctrl}, {reload, 0}, {step, 1}, {F, 0}}, {"us"}, "de"},
        {"saved layout reloaded elsewhere", {{F, ctrl}, {reload, 1}, {step, 1}, {F, 0}}, {"us", "de"}, "de"},
        {"refused restore retried",
         {{F, ctrl}, {answers, -50}, {F, 0}, {due, 0}, {answers, 0}, {due, 0}, {due, 0}},
         {"us", "ru", "ru", "ru"},
         "ru"},
        {"pending restore after the user's choice",
         {{F, ctrl}, {answers, -50}, {F, 0}, {answers, 0}, {pick, 2}, {due, 0}},
         {"us", "ru"},
         "de",
         {},
         three},
        {"excluded in front", {{focusOn, 1}, {F, ctrl}, {D, ctrl}, {F, 0}}, {}, "ru"},
        {"excluded in capitals", {{focusOn, 3}, {F, cmd}, {F, 0}, {F, opt}}, {}, "ru"},
        {"other application in front", {{focusOn, 2}, {F, ctrl}, {F, 0}}, {"us", "ru"}, "ru"},
        {"no window in front", {{focusOn, 0}, {F, ctrl}, {F, 0}}, {"us", "ru"}, "ru"},
        {"desktop tells no focus", {{focusOn, 4}, {F, ctrl}, {F, 0}}, {"us", "ru"}, "ru"},
        {"no focus follower", {{focusOn, 1}, {focusOn, 5}, {F, ctrl}, {F, 0}}, {"us", "ru"}, "ru"},
        {"focus moved in during the hold",
         {{focusOn, 2}, {F, ctrl}, {focusOn, 1}, {F, 0}},
         {"us", "ru"},
         "ru"},
        {"focus moved out during the hold",
         {{focusOn, 1}, {F, ctrl}, {focusOn, 2}, {D, ctrl}, {F, 0}, {F, ctrl}},
         {"us"},
         "us"},
        {"list changed while running",
         {{focusOn, 2}, {F, ctrl}, {F, 0}, {excludeTerminal, 0}, {F, ctrl}, {F, 0}},
         {"us", "ru"},
         "ru"},
        {"excluded hold leaves a leftover alone",
         {{F, ctrl}, {F, 0}, {restoreOn, 0}, {focusOn, 1}, {F, ctrl}, {F, 0}},
         {"us"},
         "us",
         {restoring, false}},
        {"per window: the window left gets its layout back",
         {{scope, 1}, {window, 0}, {F, ctrl}, {window, 2}, {pick, 0}, {F, 0}, {pick, 1}, {window, 0}},
         {"us", "ru"},
         "ru"},
        {"per window: and back during a hold",
         {{scope, 1}, {window, 0}, {F, ctrl}, {window, 2}, {F, 0}, {pick, 0}, {F, ctrl}, {window, 0}, {F, 0}},
         {"us", "us", "ru"},
         "ru"},
        {"per application", {{scope, 2}, {window, 0}, {F, ctrl}, {window, 1}, {F, 0}}, {"us", "ru"}, "ru"},
        {"one layout", {{window, 0}, {F, ctrl}, {window, 2}, {F, 0}, {window, 0}}, {"us", "ru"}, "ru"},
    };
    using enum ForeignLayoutChange::Kind;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        SetUp();
        if (!row.setting.first.isEmpty())
            store->setBool(row.setting.first, row.setting.second);
        use(row.layouts);
        sources->setSelectStatus(row.selectStatus);
        for (const auto& [type, value] : row.script) {
            if (type == step)
                sources->stepBySomeoneElse(int(value));
            else if (type >= pick && type <= pickNone)
                sources->selectBySomeoneElse(int(value), std::array{selection, unknown, none}[type - pick]);
            else if (type == reload)
                sources->setSources( // us stays current
                    QList<InputSource>{{"de", "de"}, {"us", "us"}, {"ru", "ru"}}.first(2 + value));
            else if (type == restoreOn)
                store->setBool(restoring, true);
            else if (type == answers)
                sources->setSelectStatus(int32_t(value));
            else if (type == due)
                QCoreApplication::processEvents();
            else if (type == focusOn && value == 5)
                Platform::current().focus.reset();
            else if (type == focusOn)
                focus->focus(inFront[value], value != 4);
            else if (type == scope)
                sources->scope = LayoutScope(value);
            else if (type == window)
                focus->focus("app" + QString::number(value / 2), true, "w" + QString::number(value));
            else if (type == excludeTerminal)
                store->setStringList(Constants::excludedApplications, {"org.gnome.terminal"});
            else
                send(type, value);
        }
        EXPECT_EQ(sources->selections(), row.selections);
        EXPECT_EQ(current(), row.current);
    }
}

// A tap the system disables is enabled again; after shutdown nothing happens and the layout is left as it is.
TEST_F(SwitchingEngineTest, TapLifecycle) {
    const auto record = taps->latest();
    EXPECT_TRUE(record->scheduled && record->enabled && record->eventMask == keyboardEventMask);
    engine->createEventTap();
    EXPECT_TRUE(taps->createdCount() == 1 && tapCreatedCalls == 1);
    taps->disableLatestBySystem(EventType::tapDisabledByTimeout);
    EXPECT_TRUE(record->enabled);
    send(F, ctrl);
    shuttingDown = true;
    engine->tearDownEventTap();
    engine->restoreSavedLayout();
    engine->createEventTap();
    EXPECT_TRUE(record->invalidated && taps->createdCount() == 1 && current() == "us");
}

using InputSourceServiceTest = SwitchingEngineTest;

TEST_F(InputSourceServiceTest, SelectionTable) {
    const struct {
        const char* name;
        QStringList layouts;
        QString selected; // requested; empty: none
        bool succeeds;
        QString shortcutLayout = {};
        int32_t status = 0;
    } rows[] = {
        {"first English in the system's order", {"ru", "us(intl)", "us"}, "us(intl)", true},
        {"whole identifiers", {"US", "us(dvorak)", "us(intl)x", "us(basic)"}, "us(basic)", true},
        {"entries without identifier skipped", {"", "ru", "us"}, "us", true},
        {"current English selected again", {"us"}, "us", true},
        {"no English layout", {"ru", "us(dvorak)"}, "", false},
        {"refused selection", {"ru", "us", "us(intl)"}, "us", false, {}, -50},
        {"chosen layout", {"ru", "us", "gb"}, "gb", true, "gb"},
        {"chosen English variant", {"ru", "us(dvorak)", "us"}, "us(dvorak)", true, "us(dvorak)"},
        {"chosen layout not installed", {"ru", "us"}, "us", true, "gb"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        use(row.layouts);
        sources->clearSelections();
        sources->setSelectStatus(row.status);
        store->setString(Constants::shortcutLayout, row.shortcutLayout);
        InputSourceRef selected;
        EXPECT_EQ(SystemUtils::selectEnglishLayout(&selected), row.succeeds);
        EXPECT_EQ(sources->selections().value(0), row.selected);
        EXPECT_EQ(selected ? *selected->identifier : QString(), row.succeeds ? row.selected : QString());
        for (const InputSourceRef& layout :
             row.shortcutLayout.isEmpty() ? QList<InputSourceRef>() : sources->sources())
            EXPECT_EQ(SystemUtils::isEnglishLayout(layout), layout->identifier == row.selected);
    }
}

} // namespace
