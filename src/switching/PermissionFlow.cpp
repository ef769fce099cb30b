#include "switching/PermissionFlow.h"

#include "base/ConsoleOutput.h"
#include "diagnostics/Logger.h"
#include "localization/LocalizationKeys.h"
#include "localization/LocalizationManager.h"
#include "platform/Platform.h"
#include "settings/Constants.h"
#include "settings/SettingsStore.h"
#include "switching/SwitchingEngine.h"
#include "switching/SystemUtils.h"

#include <QTimer>

namespace velmora {

namespace {

QString localized(const QString& key) {
    return LocalizationManager::shared().localizedString(key);
}

UntrustedReason untrustedReason() {
    AccessibilityTrust* trust = Platform::current().accessibility.get();
    return trust != nullptr ? trust->untrustedReason() : UntrustedReason();
}

QString reasonKey(UntrustedReason::Cause cause) {
    using Cause = UntrustedReason::Cause;
    namespace Keys = LocalizationKeys;
    switch (cause) {
    case Cause::none:
        break;
    case Cause::waylandSessionForX11:
        return Keys::reasonWaylandSessionForX11;
    case Cause::noDisplay:
        return Keys::reasonNoDisplay;
    case Cause::displayUnreachable:
        return Keys::reasonDisplayUnreachable;
    case Cause::displayLacksExtension:
        return Keys::reasonDisplayLacksExtension;
    case Cause::displayWithoutScreen:
        return Keys::reasonDisplayWithoutScreen;
    case Cause::noReadableKeyboard:
        return Keys::reasonNoReadableKeyboard;
    case Cause::shellSilent:
        return Keys::reasonShellSilent;
    case Cause::extensionOff:
        return Keys::reasonExtensionOff;
    case Cause::extensionFailed:
        return Keys::reasonExtensionFailed;
    case Cause::extensionSilent:
        return Keys::reasonExtensionSilent;
    case Cause::extensionNotLoaded:
        return Keys::reasonExtensionNotLoaded;
    case Cause::extensionRefused:
        return Keys::reasonExtensionRefused;
    case Cause::desktopUnsupported:
        return Keys::reasonDesktopUnsupported;
    }
    return {};
}

// The reason in the interface language, its values filled in with one call so
// that a "%1" inside the shell's own error is never substituted.
QString localizedReason(const UntrustedReason& reason) {
    const QString text = localized(reasonKey(reason.cause));
    const QStringList& values = reason.arguments;
    switch (values.size()) {
    case 0:
        return text;
    case 1:
        return text.arg(values[0]);
    case 2:
        return text.arg(values[0], values[1]);
    default:
        return text.arg(values[0], values[1], values[2]);
    }
}

KeyboardEvent* passEventOn(uint32_t, KeyboardEvent* event, void*) {
    return event;
}

} // namespace

PermissionFlow::PermissionFlow(SwitchingEngine* engine, const bool* isShuttingDown, QObject* parent)
    : QObject(parent), engine_(engine), isShuttingDown_(isShuttingDown) {}

PermissionFlow::~PermissionFlow() = default;

bool PermissionFlow::checkPermission() {
    const bool trusted = SystemUtils::checkAccessibilityPermissions();
    if (!trusted && !reportedReason_) {
        reportedReason_ = true;
        const UntrustedReason reason = untrustedReason();
        if (!reason.isEmpty())
            ConsoleOutput::writeLine(QStringLiteral("❌ The keyboard cannot be observed: ") + reason.english);
    }
    return trusted;
}

void PermissionFlow::startKeyboardMonitoring() {
    if (shuttingDown())
        return;
    if (checkPermission()) {
        createEventTap();
        return;
    }
    forceAddToAccessibilityList();
    SettingsStore& store = SettingsStore::standard();
    if (!store.boolForKey(Constants::hasShownPermissionRequest)) {
        SystemUtils::requestAccessibilityPermissions();
        store.setBool(Constants::hasShownPermissionRequest, true);
    }
    if (checkPermission()) {
        createEventTap();
        return;
    }
    showAccessibilityAlert();
    if (!permissionCheckTimer)
        startPermissionChecking();
}

void PermissionFlow::createEventTap() {
    if (engine_ != nullptr)
        engine_->createEventTap();
}

void PermissionFlow::forceAddToAccessibilityList() {
    KeyboardEventTapFactory* factory = Platform::current().eventTaps.get();
    std::shared_ptr<KeyboardEventTap> tap =
        factory != nullptr ? factory->createEventTap(keyboardEventMask, &passEventOn, nullptr) : nullptr;
    if (!tap) {
        Logger::log(QStringLiteral("Failed to create temporary event tap"));
        return;
    }
    tap->setEnabled(true);
    QTimer::singleShot(temporaryTapLifetimeMs, [tap] { tap->setEnabled(false); });
    Logger::log(QStringLiteral("Attempted to force add app to Accessibility list"));
}

void PermissionFlow::showAccessibilityAlert() {
    explainMissingAccess(LocalizationKeys::accessibilityPermissionsTitle,
                         LocalizationKeys::accessibilityPermissionsMessage);
}

int PermissionFlow::explainMissingAccess(const QString& titleKey, const QString& messageKey) {
    AlertPresenter* alerts = Platform::current().alerts.get();
    if (alerts == nullptr)
        return 0;
    QString message = localized(messageKey);
    if (const UntrustedReason reason = untrustedReason(); !reason.isEmpty())
        message += QStringLiteral("\n\n") + localizedReason(reason);
    const QStringList buttons = {localized(LocalizationKeys::openSettings), localized(LocalizationKeys::later)};
    const int response =
        alerts->runModal({localized(titleKey), message, AlertStyle::warning, buttons, AlertResponse::secondButton});
    if (response == AlertResponse::firstButton)
        SystemUtils::openAccessibilitySettings();
    // The alert promises that switching starts by itself once access arrives,
    // also when it was shown from the onboarding rather than at start-up; a
    // grant found while it was open needs no poll.
    if (engine_ != nullptr && !engine_->eventTap && !permissionCheckTimer)
        startPermissionChecking();
    return response;
}

void PermissionFlow::startPermissionChecking() {
    if (shuttingDown())
        return;
    Logger::log(QStringLiteral("Starting permission checking timer"));
    permissionCheckTimer = std::make_unique<QTimer>();
    connect(permissionCheckTimer.get(), &QTimer::timeout, this, [this] {
        if (!checkPermission())
            return;
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (shuttingDown())
                    return;
                createEventTap();
                stopPermissionChecking();
                if (engine_ != nullptr && engine_->eventTap)
                    Logger::log(
                        QStringLiteral("Accessibility permissions granted - keyboard monitoring activated"));
                else
                    ConsoleOutput::writeLine(QStringLiteral("❌ Keyboard access was granted, but the keyboard "
                                                            "could not be observed; restart Velmora"));
            },
            Qt::QueuedConnection);
    });
    permissionCheckTimer->start(pollingIntervalMs);
}

void PermissionFlow::stopPermissionChecking() {
    if (permissionCheckTimer)
        permissionCheckTimer->stop();
    permissionCheckTimer.reset();
    Logger::log(QStringLiteral("Permission checking stopped"));
}

} // namespace velmora
