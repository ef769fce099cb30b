#include "platform/gnome/GnomeAccessibilityTrust.h"

#include "base/ConsoleOutput.h"
#include "platform/gnome/GnomeShellBus.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

namespace velmora {

namespace {

constexpr int replyTimeoutMs = 2000;

// GNOME Shell's extension states (org.gnome.Shell.Extensions).
enum ExtensionState { enabled = 1, disabled = 2, error = 3, outOfDate = 4, initialized = 6 };

QDBusMessage callExtensions(QDBusConnection& bus, const QString& method) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(QStringLiteral("org.gnome.Shell"), QStringLiteral("/org/gnome/Shell"),
                                       QStringLiteral("org.gnome.Shell.Extensions"), method);
    call.setArguments({GnomeShellBus::extensionUuid});
    return bus.call(call, QDBus::Block, replyTimeoutMs);
}

const QString logOutAndIn = QStringLiteral("log out and back in");

} // namespace

GnomeAccessibilityTrust::GnomeAccessibilityTrust(std::shared_ptr<AccessibilityTrust> keyboard,
                                                 QDBusConnection bus)
    : keyboard_(std::move(keyboard)), bus_(std::move(bus)) {}

bool GnomeAccessibilityTrust::isProcessTrusted() {
    if (keyboard_ && !keyboard_->isProcessTrusted()) {
        reason_ = keyboard_->untrustedReason();
        return false;
    }
    reason_ = extensionAnswers() ? UntrustedReason() : extensionProblem();
    return reason_.isEmpty();
}

bool GnomeAccessibilityTrust::extensionAnswers() {
    const QDBusConnectionInterface* names = bus_.interface();
    return names != nullptr && names->isServiceRegistered(GnomeShellBus::service).value();
}

UntrustedReason GnomeAccessibilityTrust::extensionProblem() {
    using Cause = UntrustedReason::Cause;
    const QString& uuid = GnomeShellBus::extensionUuid;
    const QString extension = QStringLiteral("Velmora's GNOME Shell extension (") + uuid + QLatin1Char(')');
    const QDBusMessage info = callExtensions(bus_, QStringLiteral("GetExtensionInfo"));
    if (info.type() != QDBusMessage::ReplyMessage)
        return {Cause::shellSilent,
                {uuid},
                QStringLiteral("GNOME Shell does not answer on the session bus, so ") + extension +
                    QStringLiteral(" cannot run")};
    const QVariantMap details = qdbus_cast<QVariantMap>(info.arguments().value(0));
    const int state = details.value(QStringLiteral("state")).toInt();
    if (state == disabled || state == initialized) {
        if (!triedEnabling_) {
            triedEnabling_ = true;
            const bool enabledNow =
                callExtensions(bus_, QStringLiteral("EnableExtension")).arguments().value(0).toBool();
            if (enabledNow && extensionAnswers()) {
                ConsoleOutput::writeLine(QStringLiteral("🧩 Turned on ") + extension +
                                         QStringLiteral(", which was installed but off"));
                return {};
            }
        }
        return {Cause::extensionOff,
                {uuid},
                extension + QStringLiteral(" is turned off; turn it on in GNOME's Extensions app")};
    }
    if (state == error || state == outOfDate) {
        QString shellError = details.value(QStringLiteral("error")).toString().trimmed();
        // The sentence around it ends with its own full stop.
        if (shellError.endsWith(QLatin1Char('.')))
            shellError.chop(1);
        return {Cause::extensionFailed,
                {uuid, shellError},
                QStringLiteral("GNOME Shell could not run ") + extension + QStringLiteral(" (") + shellError +
                    QStringLiteral("); ") + logOutAndIn +
                    QStringLiteral(", and reinstall Velmora if it stays")};
    }
    if (state == enabled)
        return {Cause::extensionSilent,
                {uuid},
                extension + QStringLiteral(" is on but does not answer; ") + logOutAndIn};
    // GNOME Shell finds new extensions at start only (on Wayland at login).
    return {Cause::extensionNotLoaded,
            {uuid},
            QStringLiteral("GNOME Shell has not loaded ") + extension +
                QStringLiteral(", which it sees only when it starts; ") + logOutAndIn};
}

} // namespace velmora
