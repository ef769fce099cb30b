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
                 QStringLiteral("FocusChanged"), this, SLOT(handleFocusChanged(QString, QString)));
    connect(watcher_.get(), &QDBusServiceWatcher::serviceRegistered, this, &GnomeFocusedApplication::read);
    connect(watcher_.get(), &QDBusServiceWatcher::serviceUnregistered, this, [this] { set(false, {}, {}); });
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
    set(reply.type() == QDBusMessage::ReplyMessage, reply.arguments().value(0).toString(),
        reply.arguments().value(1).toString());
}

void GnomeFocusedApplication::handleFocusChanged(const QString& application, const QString& window) {
    set(true, application, window);
}

void GnomeFocusedApplication::set(bool answers, const QString& application, const QString& window) {
    const auto given = [answers](const QString& text) {
        return answers && !text.isEmpty() ? std::optional(text) : std::nullopt;
    };
    std::optional<QString> identifier = given(application), windowKey = given(window);
    if (answers == answers_ && identifier == identifier_ && windowKey == window_)
        return;
    answers_ = answers;
    identifier_ = std::move(identifier);
    window_ = std::move(windowKey);
    notifyChanged();
}

} // namespace velmora
