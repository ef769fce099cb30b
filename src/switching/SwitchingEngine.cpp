#include "switching/SwitchingEngine.h"

#include "diagnostics/Logger.h"
#include "platform/Platform.h"
#include "settings/Constants.h"
#include "settings/SettingsStore.h"
#include "switching/SystemUtils.h"

#include <utility>

namespace velmora {

namespace {

bool isSameSource(const InputSource& a, const InputSource& b) {
    return a.identifier == b.identifier && a.handle == b.handle;
}

QString sourceName(const InputSource& source) {
    return source.identifier.value_or(source.localizedName.value_or(QStringLiteral("Unknown")));
}

// The source `steps` places after `origin` in the system's order, wrapping;
// null when origin is no longer installed.
InputSourceRef sourceStepsAway(TextInputSources& sources, const InputSource& origin, int steps) {
    const QList<InputSourceRef> list = sources.createInputSourceList().value_or(QList<InputSourceRef>());
    qsizetype index = -1;
    for (qsizetype i = 0; i < list.size() && index < 0; ++i)
        if (list.at(i) && isSameSource(*list.at(i), origin))
            index = i;
    // After a keymap reload the layout may sit in another place.
    for (qsizetype i = 0; i < list.size() && index < 0 && origin.identifier; ++i)
        if (list.at(i) && list.at(i)->identifier == origin.identifier)
            index = i;
    if (index < 0)
        return nullptr;
    const qsizetype count = list.size();
    return list.at(((index + steps) % count + count) % count);
}

} // namespace

SwitchingEngine::SwitchingEngine(const bool& isShuttingDown, std::function<void()> onTapCreated)
    : isShuttingDown_(isShuttingDown), onTapCreated_(std::move(onTapCreated)) {}

SwitchingEngine::~SwitchingEngine() {
    if (eventTap) {
        eventTap->setEnabled(false);
        eventTap->invalidate();
    }
}

void SwitchingEngine::createEventTap() {
    if (isShuttingDown_)
        return;
    if (eventTap) {
        Logger::log(QStringLiteral("Event tap already exists"));
        return;
    }
    KeyboardEventTapFactory* factory = Platform::current().eventTaps.get();
    eventTap = factory != nullptr
                   ? factory->createEventTap(keyboardEventMask, &SwitchingEngine::eventTapCallback, this)
                   : nullptr;
    if (!eventTap) {
        Logger::log(QStringLiteral("Failed to create event tap"));
        return;
    }
    eventTap->scheduleOnMainLoop();
    eventTap->setEnabled(true);
    Logger::log(QStringLiteral("Event tap created successfully"));
    if (onTapCreated_)
        onTapCreated_();
}

KeyboardEvent* SwitchingEngine::eventTapCallback(uint32_t type, KeyboardEvent* event, void* userInfo) {
    auto* engine = static_cast<SwitchingEngine*>(userInfo);
    if (engine == nullptr || engine->isShuttingDown_)
        return event;
    if (type == EventType::tapDisabledByTimeout || type == EventType::tapDisabledByUserInput) {
        engine->reenableDisabledTap(type);
        return event;
    }
    return engine->handleKeyboardEvent(type, event);
}

void SwitchingEngine::reenableDisabledTap(uint32_t type) {
    // Left disabled, the tap would stop switching until the next start.
    if (!eventTap)
        return;
    eventTap->setEnabled(true);
    Logger::log(type == EventType::tapDisabledByTimeout
                    ? QStringLiteral("Event tap re-enabled after being disabled by timeout")
                    : QStringLiteral("Event tap re-enabled after being disabled by user input"));
}

KeyboardEvent* SwitchingEngine::handleKeyboardEvent(uint32_t type, KeyboardEvent* event) {
    if (isShuttingDown_ || event == nullptr)
        return event;
    if (type != EventType::keyDown && type != EventType::keyUp && type != EventType::flagsChanged)
        return event;

    const bool held = isTriggerModifierPressed(eventGetFlags(*event));
    if (held && !modifierPressed && type != EventType::keyUp) {
        if (excluded_.isFocusedExcluded()) {
            modifierPressed = holdIgnored_ = true;
            Logger::log(QStringLiteral("Not switching: the application in front is excluded"));
        } else {
            switchToEnglishLayout();
        }
    } else if (!held && modifierPressed && type != EventType::keyDown) {
        if (holdIgnored_)
            modifierPressed = holdIgnored_ = false;
        else
            restoreSavedLayout();
    }
    return event;
}

bool SwitchingEngine::isTriggerModifierPressed(uint64_t flags) const {
    const SettingsStore& store = SettingsStore::standard();
    return (store.boolForKey(Constants::useCommandKey) && (flags & ModifierFlag::command)) ||
           (store.boolForKey(Constants::useControlKey) && (flags & ModifierFlag::control)) ||
           (store.boolForKey(Constants::useOptionKey) && (flags & ModifierFlag::option)) ||
           (store.boolForKey(Constants::useShiftKey) && (flags & ModifierFlag::shift));
}

void SwitchingEngine::switchToEnglishLayout() {
    if (isShuttingDown_)
        return;
    modifierPressed = true;
    if (!SettingsStore::standard().boolForKey(Constants::switchToEnglish))
        return;
    InputSourceRef current = SystemUtils::getCurrentInputSource();
    if (!current)
        return;
    if (SystemUtils::isEnglishLayout(current))
        return;
    savedInputSource = std::move(current);
    windowLayouts_.pressed(savedInputSource);
    pendingRestore.cancel();
    selectedInputSource.reset();
    SystemUtils::selectEnglishLayout(&selectedInputSource);
    Logger::trackEvent(QStringLiteral("layout_switched"), {{QStringLiteral("direction"), "to_english"}});
}

void SwitchingEngine::restoreSavedLayout() {
    if (isShuttingDown_)
        return;
    modifierPressed = false;
    if (!SettingsStore::standard().boolForKey(Constants::restorePreviousLayout))
        return;
    if (!savedInputSource)
        return;
    const InputSourceRef selected = std::exchange(selectedInputSource, nullptr);
    if (windowLayouts_.releasedElsewhere()) {
        savedInputSource.reset();
        return;
    }
    TextInputSources* sources = Platform::current().inputSources.get();
    if (sources != nullptr && selected && keptForeignChange(*sources, *selected)) {
        savedInputSource.reset();
        return;
    }
    if (sources != nullptr && sources->selectInputSource(savedInputSource) != 0)
        pendingRestore.keep(savedInputSource, selected);
    savedInputSource.reset();
    Logger::trackEvent(QStringLiteral("layout_switched"), {{QStringLiteral("direction"), "to_previous"}});
}

void SwitchingEngine::focusChanged() {
    if (!modifierPressed)
        windowLayouts_.focusChanged();
}

bool SwitchingEngine::keptForeignChange(TextInputSources& sources, const InputSource& selected) {
    const InputSourceRef current = sources.copyCurrentKeyboardInputSource();
    if (!current || isSameSource(*current, selected))
        return false;
    const ForeignLayoutChange change = sources.foreignChangeSinceLastSelection();
    InputSourceRef kept = current;
    QString why;
    switch (change.kind) {
    case ForeignLayoutChange::Kind::none:
        return false;
    case ForeignLayoutChange::Kind::relative:
        // The user's "next layout" meant the next one after the layout they
        // were in, not after the one Velmora had put in for the shortcut.
        if (InputSourceRef target = sourceStepsAway(sources, *savedInputSource, change.steps)) {
            kept = std::move(target);
            if (!isSameSource(*kept, *current))
                sources.selectInputSource(kept);
            why = QStringLiteral("switched %1 step(s) from %2 during the hold")
                      .arg(QString::number(change.steps), sourceName(*savedInputSource));
        } else {
            why =
                QStringLiteral("switched during the hold, and %1 is gone").arg(sourceName(*savedInputSource));
        }
        break;
    case ForeignLayoutChange::Kind::selection:
        why = QStringLiteral("selected during the hold");
        break;
    case ForeignLayoutChange::Kind::unknown:
        why = QStringLiteral("changed during the hold in a way the system does not tell");
        break;
    }
    Logger::log(QStringLiteral("Kept layout %1: %2").arg(sourceName(*kept), why));
    return true;
}

void SwitchingEngine::tearDownEventTap() {
    if (!eventTap)
        return;
    eventTap->setEnabled(false);
    eventTap->invalidate();
    eventTap.reset();
    Logger::log(QStringLiteral("Event tap disabled and invalidated"));
}

} // namespace velmora
