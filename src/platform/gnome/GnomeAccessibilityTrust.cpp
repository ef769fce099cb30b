#include "platform/gnome/GnomeAccessibilityTrust.h"

#include "base/ConsoleOutput.h"
#include "platform/gnome/GnomeShellBus.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

#include <algorithm>

namespace velmora {

namespace {

constexpr int replyTimeoutMs = 5000;
constexpr int enablingTimeoutMs = 3000;

// GNOME Shell's extension states (org.gnome.Shell.Extensions).
enum ExtensionState { enabled = 1, disabled = 2, error = 3, outOfDate = 4, initialized = 6 };

QDBusMessage callShell(QDBusConnection& bus, const QString& interface, const QString& method,
                       const QVariantList& arguments) {
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.gnome.Shell"),
                                                       QStringLiteral("/org/gnome/Shell"), interface, method);
    call.setArguments(arguments);
    return bus.call(call, QDBus::Block, replyTimeoutMs);
}

QDBusMessage callExtensions(QDBusConnection& bus, const QString& method, const QString& uuid) {
    return callShell(bus, QStringLiteral("org.gnome.Shell.Extensions"), method, {uuid});
}

QString shellVersion(QDBusConnection& bus) {
    const QDBusMessage reply =
        callShell(bus, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                  {QStringLiteral("org.gnome.Shell"), QStringLiteral("ShellVersion")});
    return qdbus_cast<QDBusVariant>(reply.arguments().value(0)).variant().toString();
}

// The versions an installed extension names: GetExtensionInfo leaves lists
// out, its metadata file has them.
QStringList versionsOf(const QVariantMap& details) {
    QFile metadata(details.value(QStringLiteral("path")).toString() + QStringLiteral("/metadata.json"));
    if (!metadata.open(QIODevice::ReadOnly))
        return {};
    QStringList versions;
    for (const QJsonValue& version :
         QJsonDocument::fromJson(metadata.readAll())[QLatin1String("shell-version")].toArray())
        versions << version.toString();
    return versions;
}

bool namesShell(const QStringList& versions, const QString& shell) {
    const QString major = shell.section(u'.', 0, 0);
    return versions.contains(shell) || versions.contains(major);
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
    const bool answers = extensionAnswers();
    // A shell slower than the wait below turns the extension on later; it is told when it is found.
    if (answers && turningOn_)
        announceTurnedOn();
    reason_ = answers ? UntrustedReason() : extensionProblem();
    return reason_.isEmpty();
}

void GnomeAccessibilityTrust::announceTurnedOn() {
    turningOn_ = false;
    ConsoleOutput::writeLine(
        QStringLiteral("🧩 Turned on Velmora's GNOME Shell extension, which was installed but off"));
}

bool GnomeAccessibilityTrust::extensionAnswers() {
    const QDBusConnectionInterface* names = bus_.interface();
    return names != nullptr && names->isServiceRegistered(GnomeShellBus::service).value();
}

UntrustedReason GnomeAccessibilityTrust::extensionProblem() {
    using Cause = UntrustedReason::Cause;
    const QString extension = QStringLiteral("Velmora's GNOME Shell extension");
    const QString allUuids = GnomeShellBus::extensionUuids.join(QStringLiteral(", "));
    QList<QVariantMap> found; // what the shell knows of each of Velmora's extensions
    for (const QString& uuid : GnomeShellBus::extensionUuids) {
        const QDBusMessage info = callExtensions(bus_, QStringLiteral("GetExtensionInfo"), uuid);
        if (info.type() != QDBusMessage::ReplyMessage)
            return {Cause::shellSilent,
                    {allUuids},
                    QStringLiteral("GNOME Shell does not answer on the session bus, so ") + extension +
                        QStringLiteral(" cannot run")};
        QVariantMap details = qdbus_cast<QVariantMap>(info.arguments().value(0));
        if (details.isEmpty())
            continue;
        details.insert(QStringLiteral("uuid"), uuid);
        found << details;
    }
    if (found.isEmpty()) // GNOME Shell finds new extensions at start only (on Wayland at login).
        return {Cause::extensionNotLoaded,
                {allUuids},
                QStringLiteral("GNOME Shell has not loaded ") + extension +
                    QStringLiteral(", which it sees only when it starts; ") + logOutAndIn};

    // Turned off (by the user, or never turned on, as after an upgrade of
    // GNOME brings the other format into use): all are turned on, once. The
    // shell runs the one whose versions name it.
    bool off = false;
    for (const QVariantMap& details : found) {
        const int state = details.value(QStringLiteral("state")).toInt();
        off = off || state == disabled || state == initialized;
    }
    if (off && !triedEnabling_) {
        triedEnabling_ = turningOn_ = true;
        for (const QVariantMap& details : found)
            callExtensions(bus_, QStringLiteral("EnableExtension"),
                           details.value(QStringLiteral("uuid")).toString());
        // GNOME 45 and later turn an extension on after answering: its name
        // comes on the bus a moment later.
        const QDeadlineTimer turningOn(enablingTimeoutMs);
        while (!extensionAnswers() && !turningOn.hasExpired())
            QThread::msleep(50);
        if (extensionAnswers()) {
            announceTurnedOn();
            return {};
        }
    }

    const QString shell = shellVersion(bus_);
    const QString major = shell.section(u'.', 0, 0);
    QStringList refusals, errors;
    QString forThisShellUuid;
    bool turnedOff = false, runningSilent = false;
    for (const QVariantMap& details : found) {
        const QStringList versions = versionsOf(details);
        const int state = details.value(QStringLiteral("state")).toInt();
        const QString uuid = details.value(QStringLiteral("uuid")).toString();
        if (namesShell(versions, shell)) {
            forThisShellUuid = uuid;
            turnedOff = turnedOff || state == disabled || state == initialized;
        }
        runningSilent = runningSilent || state == enabled;
        refusals << uuid + QStringLiteral(" is made for GNOME ") + versions.join(QStringLiteral(", "));
        const QString error = details.value(QStringLiteral("error")).toString().trimmed();
        if (!error.isEmpty() && (state == ExtensionState::error || state == outOfDate))
            errors << error;
    }
    const QString said =
        errors.isEmpty() ? QString()
                         : QStringLiteral(" (GNOME Shell says: ") + errors.join(QStringLiteral("; ")) + u')';
    const QString gnome =
        QStringLiteral("GNOME Shell ") + (shell.isEmpty() ? QStringLiteral("(version unknown)") : shell);
    if (forThisShellUuid.isEmpty()) {
        QStringList versions;
        for (const QVariantMap& details : found)
            versions << versionsOf(details);
        std::sort(versions.begin(), versions.end(),
                  [](const QString& a, const QString& b) { return a.toDouble() < b.toDouble(); });
        return {Cause::extensionRefused,
                {shell, versions.join(QStringLiteral(", ")), major},
                gnome + QStringLiteral(" runs none of ") + extension + QStringLiteral("s: ") +
                    refusals.join(QStringLiteral(", ")) + said + QStringLiteral("; install a Velmora made for GNOME ") +
                    major + QStringLiteral(", then ") + logOutAndIn};
    }
    if (turnedOff)
        return {Cause::extensionOff,
                {forThisShellUuid},
                extension + QStringLiteral(" is turned off; turn it on in GNOME's Extensions app")};
    if (runningSilent)
        return {Cause::extensionSilent,
                {forThisShellUuid},
                extension + QStringLiteral(" is on but does not answer; ") + logOutAndIn};
    QString shellError = errors.join(QStringLiteral("; "));
    // The sentence around it ends with its own full stop.
    if (shellError.endsWith(u'.'))
        shellError.chop(1);
    return {Cause::extensionFailed,
            {forThisShellUuid, shellError},
            gnome + QStringLiteral(" could not run ") + extension + QStringLiteral(" (") +
                refusals.join(QStringLiteral(", ")) + u')' + said + QStringLiteral("; reinstall Velmora, then ") +
                logOutAndIn};
}

} // namespace velmora
