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

QString untrustedReason() {
    AccessibilityTrust* trust = Platform::current().accessibility.get();
    return trust != nullptr ? trust->untrustedReason() : QString();
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
        const QString reason = untrustedReason();
        if (!reason.isEmpty())
            ConsoleOutput::writeLine(QStringLiteral("❌ The keyboard cannot be observed: ") + reason);
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
    const AccessibilityTrust* trust = Platform::current().accessibility.get();
    const AccessibilityTrust::LocalizableReason known =
        trust != nullptr ? trust->localizableReason() : AccessibilityTrust::LocalizableReason{};
    if (!known.key.isEmpty()) {
        QString text = localized(known.key);
        for (const QString& argument : known.arguments)
            text = text.arg(argument);
        message += QStringLiteral("\n\n") + text;
    } else if (const QString reason = untrustedReason(); !reason.isEmpty()) {
        message +=
            QStringLiteral("\n\n") + localized(LocalizationKeys::accessibilityMissingReason).arg(reason);
    }
    const QStringList buttons = {localized(LocalizationKeys::openSettings),
                                 localized(LocalizationKeys::later)};
    const int response = alerts->runModal(
        {localized(titleKey), message, AlertStyle::warning, buttons, AlertResponse::secondButton});
    if (response == AlertResponse::firstButton)
        SystemUtils::openAccessibilitySettings();
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
