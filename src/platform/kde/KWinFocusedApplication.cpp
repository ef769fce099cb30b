#include "platform/kde/KWinFocusedApplication.h"

#include "base/ConsoleOutput.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTimer>

namespace velmora {

namespace {

const QString kwinService = QStringLiteral("org.kde.KWin");
constexpr int replyTimeoutMs = 1000;
constexpr int maxLoadAttempts = 4;
constexpr int retryDelayMs = 250;

QDBusMessage callScripting(QDBusConnection& bus, const QString& method, const QVariantList& arguments = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall(kwinService, QStringLiteral("/Scripting"),
                                                       QStringLiteral("org.kde.kwin.Scripting"), method);
    call.setArguments(arguments);
    return bus.call(call, QDBus::Block, replyTimeoutMs);
}

} // namespace

KWinFocusedApplication::KWinFocusedApplication(QDBusConnection bus, QString scriptFolder)
    : bus_(std::move(bus)), scriptPath_(scriptFolder + QStringLiteral("/velmora-kwin-focus.js")),
      watcher_(std::make_unique<QDBusServiceWatcher>(kwinService, bus_,
                                                     QDBusServiceWatcher::WatchForOwnerChange)) {
    connect(
        watcher_.get(), &QDBusServiceWatcher::serviceOwnerChanged, this,
        [this](const QString&, const QString&, const QString& newOwner) { handleOwnerChanged(newOwner); });
    if (!bus_.isConnected() ||
        !bus_.registerObject(QLatin1String(objectPath), this, QDBusConnection::ExportScriptableSlots))
        return;
    if (!load())
        ConsoleOutput::writeLine(QStringLiteral(
            "⚠️ KWin does not run Velmora's focus script: no application is excluded from switching"));
}

KWinFocusedApplication::~KWinFocusedApplication() {
    if (loaded_)
        callScripting(bus_, QStringLiteral("unloadScript"), {QLatin1String(pluginName)});
    bus_.unregisterObject(QLatin1String(objectPath));
}

QString KWinFocusedApplication::defaultScriptFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

QString KWinFocusedApplication::script(const QString& busName) {
    // KWin 6 names the signal and the property after windows, 5 after clients.
    return QStringLiteral(R"(function report(window) {
    const id = window ? String(window.desktopFileName || window.resourceClass || "") : "";
    callDBus("%1", "%2", "app.velmora.Focus", "Activated", id, window ? String(window.internalId) : "");
}
(workspace.windowActivated || workspace.clientActivated).connect(report);
report(workspace.activeWindow || workspace.activeClient);
)")
        .arg(busName, QLatin1String(objectPath));
}

void KWinFocusedApplication::Activated(const QString& identifier, const QString& window) {
    // Only KWin speaks for its windows.
    if (calledFromDBus() && message().service() != kwinOwner_)
        return;
    QString id = identifier;
    if (id.endsWith(QLatin1String(".desktop")))
        id.chop(8);
    setFocus(id.isEmpty() ? std::nullopt : std::optional(id),
             window.isEmpty() ? std::nullopt : std::optional(window));
}

bool KWinFocusedApplication::load() {
    kwinOwner_ = bus_.interface()->serviceOwner(kwinService).value();
    QSaveFile file(scriptPath_);
    if (kwinOwner_.isEmpty() || !file.open(QIODevice::WriteOnly) ||
        file.write(script(bus_.baseService()).toUtf8()) < 0 || !file.commit())
        return false;
    // A script left by a Velmora that ended without unloading it calls a name that is gone.
    callScripting(bus_, QStringLiteral("unloadScript"), {QLatin1String(pluginName)});
    const QDBusMessage loaded =
        callScripting(bus_, QStringLiteral("loadScript"), {scriptPath_, QLatin1String(pluginName)});
    loaded_ = loaded.type() == QDBusMessage::ReplyMessage && loaded.arguments().value(0).toInt() >= 0 &&
              callScripting(bus_, QStringLiteral("start")).type() == QDBusMessage::ReplyMessage;
    return loaded_;
}

void KWinFocusedApplication::handleOwnerChanged(const QString& newOwner, int attempt) {
    loaded_ = false;
    setFocus(std::nullopt, std::nullopt);
    // A starting KWin may own its name a moment before its scripting answers.
    if (!newOwner.isEmpty() && !load() && attempt < maxLoadAttempts)
        QTimer::singleShot(retryDelayMs, this, [this, newOwner, attempt] {
            if (!loaded_)
                handleOwnerChanged(newOwner, attempt + 1);
        });
}

void KWinFocusedApplication::setFocus(std::optional<QString> identifier, std::optional<QString> window) {
    if (identifier == identifier_ && window == window_)
        return;
    identifier_ = std::move(identifier), window_ = std::move(window);
    notifyChanged();
}

} // namespace velmora
