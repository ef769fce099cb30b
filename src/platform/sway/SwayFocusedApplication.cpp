#include "platform/sway/SwayFocusedApplication.h"

#include "base/ConsoleOutput.h"
#include "platform/sway/SwayIpcSocket.h"

#include <QJsonArray>

#include <utility>

namespace velmora {

namespace {

constexpr int timeoutMs = 1000;

QString text(const QJsonObject& object, const char* key) {
    return object.value(QLatin1String(key)).toString();
}

} // namespace

SwayFocusedApplication::SwayFocusedApplication(const QString& socketPath)
    : socket_(std::make_unique<SwayIpcSocket>([this](const I3IpcMessage& message) { handleEvent(message); },
                                              [this] {
                                                  if (std::exchange(connected_, false))
                                                      notifyChanged();
                                              })) {
    if (socketPath.isEmpty() || !socket_->connectTo(socketPath, timeoutMs))
        return;
    // Subscribed before the tree is read, so no change falls between.
    const std::optional<I3IpcMessage> subscribed =
        socket_->request(I3Ipc::subscribe, R"(["window","workspace"])", timeoutMs);
    const std::optional<I3IpcMessage> tree = socket_->request(I3Ipc::getTree, {}, timeoutMs);
    const std::optional<QJsonDocument> root = tree ? I3Ipc::parsePayload(tree->payload) : std::nullopt;
    if (!subscribed || !root || !root->isObject()) {
        ConsoleOutput::writeLine(
            QStringLiteral("⚠️ sway does not tell the focused window: no application is "
                           "excluded from switching"));
        return;
    }
    connected_ = true;
    focus(focusedUnder(root->object()));
}

SwayFocusedApplication::~SwayFocusedApplication() {
    connected_ = false;
    socket_.reset();
}

std::optional<QString> SwayFocusedApplication::applicationOf(const QJsonObject& container) {
    const QString appId = text(container, "app_id");
    if (!appId.isEmpty())
        return appId;
    const QString windowClass = text(container.value(QLatin1String("window_properties")).toObject(), "class");
    return windowClass.isEmpty() ? std::nullopt : std::optional(windowClass);
}

std::optional<QJsonObject> SwayFocusedApplication::focusedUnder(const QJsonObject& node) {
    if (node.value(QLatin1String("focused")).toBool())
        return node;
    for (const char* children : {"nodes", "floating_nodes"})
        for (const QJsonValue& child : node.value(QLatin1String(children)).toArray())
            if (std::optional<QJsonObject> found = focusedUnder(child.toObject()))
                return found;
    return std::nullopt;
}

void SwayFocusedApplication::handleEvent(const I3IpcMessage& message) {
    const std::optional<QJsonDocument> event = I3Ipc::parsePayload(message.payload);
    if (!event)
        return;
    const QString change = text(event->object(), "change");
    if (message.type == I3Ipc::windowEvent) {
        const QJsonObject container = event->object().value(QLatin1String("container")).toObject();
        if (change == QLatin1String("focus")) {
            focus(container);
        } else if (change == QLatin1String("close")) {
            // Closing the focused window leaves no focus until sway tells the next one's, if any.
            if (container.value(QLatin1String("id")).toInteger(-2) == focusedId_)
                focus(std::nullopt);
        } else if (container.value(QLatin1String("focused")).toBool()) {
            focus(container); // an app_id set after the window appeared
        }
    } else if (message.type == I3Ipc::workspaceEvent && change == QLatin1String("focus")) {
        // A workspace that takes the focus itself has no window to give it.
        const QJsonObject workspace = event->object().value(QLatin1String("current")).toObject();
        if (workspace.value(QLatin1String("focused")).toBool())
            focus(std::nullopt);
    }
}

void SwayFocusedApplication::focus(std::optional<QJsonObject> container) {
    std::optional<QString> identifier = container ? applicationOf(*container) : std::nullopt;
    focusedId_ = container ? container->value(QLatin1String("id")).toInteger(-1) : -1;
    if (identifier == identifier_)
        return;
    identifier_ = std::move(identifier);
    notifyChanged();
}

} // namespace velmora
