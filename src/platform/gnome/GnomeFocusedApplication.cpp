#include "platform/gnome/GnomeFocusedApplication.h"

#include "base/ConsoleOutput.h"
#include "platform/gnome/GnomeShellBus.h"

#include <QDBusMessage>
#include <QDBusServiceWatcher>

namespace velmora {

namespace {

constexpr int replyTimeoutMs = 2500;

} // namespace

GnomeFocusedApplication::GnomeFocusedApplication(QDBusConnection bus)
    : bus_(std::move(bus)), watcher_(std::make_unique<QDBusServiceWatcher>(
                                GnomeShellBus::service, bus_, QDBusServiceWatcher::WatchForOwnerChange)) {
    // Subscribed before the first read, so no change falls between.
    bus_.connect(GnomeShellBus::service, GnomeShellBus::path, GnomeShellBus::interface,
                 QStringLiteral("FocusChanged"), this, SLOT(handleFocusChanged(QString)));
    connect(watcher_.get(), &QDBusServiceWatcher::serviceRegistered, this, &GnomeFocusedApplication::read);
    connect(watcher_.get(), &QDBusServiceWatcher::serviceUnregistered, this, [this] { set(false, {}); });
    read();
}

GnomeFocusedApplication::~GnomeFocusedApplication() = default;

void GnomeFocusedApplication::read() {
    const QDBusMessage call = QDBusMessage::createMethodCall(
        GnomeShellBus::service, GnomeShellBus::path, GnomeShellBus::interface, QStringLiteral("GetFocus"));
    const QDBusMessage reply = bus_.call(call, QDBus::Block, replyTimeoutMs);
    // The shell keeps running the extension it loaded at login, an older one after an upgrade.
    if (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod"))
        ConsoleOutput::writeLine(
            QStringLiteral("ℹ️ GNOME Shell runs an older Velmora extension: excluded "
                           "applications apply after the next login"));
    set(reply.type() == QDBusMessage::ReplyMessage, reply.arguments().value(0).toString());
}

void GnomeFocusedApplication::handleFocusChanged(const QString& application) {
    set(true, application);
}

void GnomeFocusedApplication::set(bool answers, const QString& application) {
    std::optional<QString> identifier =
        answers && !application.isEmpty() ? std::optional(application) : std::nullopt;
    if (answers == answers_ && identifier == identifier_)
        return;
    answers_ = answers;
    identifier_ = std::move(identifier);
    notifyChanged();
}

} // namespace velmora
