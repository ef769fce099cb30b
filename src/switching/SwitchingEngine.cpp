#include "switching/SwitchingEngine.h"

#include "diagnostics/Logger.h"
#include "switching/SystemUtils.h"
#include "platform/Platform.h"
#include "settings/Constants.h"
#include "settings/SettingsStore.h"

namespace velmora {

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
    eventTap = factory != nullptr ? factory->createEventTap(keyboardEventMask, &SwitchingEngine::eventTapCallback, this)
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
    if (held && !modifierPressed && type != EventType::keyUp)
        switchToEnglishLayout();
    else if (!held && modifierPressed && type != EventType::keyDown)
        restoreSavedLayout();
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
    SystemUtils::selectEnglishLayout();
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
    if (TextInputSources* sources = Platform::current().inputSources.get())
        sources->selectInputSource(savedInputSource);
    savedInputSource.reset();
    Logger::trackEvent(QStringLiteral("layout_switched"), {{QStringLiteral("direction"), "to_previous"}});
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
