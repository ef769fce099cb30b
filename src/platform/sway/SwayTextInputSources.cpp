#include "platform/sway/SwayTextInputSources.h"

#include "base/ConsoleOutput.h"
#include "platform/sway/SwayIpcSocket.h"

#include <QCoreApplication>
#include <QJsonArray>

namespace velmora {

namespace {

constexpr int connectTimeoutMs = 1000;

} // namespace

SwayTextInputSources::SwayTextInputSources(QString socketPath, std::function<void()> onConnectionLost,
                                           XkbLayoutRegistry registry)
    : socketPath_(std::move(socketPath)), onConnectionLost_(std::move(onConnectionLost)),
      registry_(std::move(registry)) {}

SwayTextInputSources::~SwayTextInputSources() {
    // Closing our own sockets is no loss of sway.
    lost_ = true;
    events_.reset();
    commands_.reset();
}

InputSourceRef SwayTextInputSources::copyCurrentKeyboardInputSource() {
    if (!ensureConnected())
        return nullptr;
    events_->readPending();
    if (active_ < 0 || active_ >= sources_.size())
        return nullptr;
    return sources_.at(active_);
}

std::optional<QList<InputSourceRef>> SwayTextInputSources::createInputSourceList() {
    if (!ensureConnected())
        return std::nullopt;
    events_->readPending();
    return sources_;
}

int32_t SwayTextInputSources::selectInputSource(const InputSourceRef& source) {
    if (!source)
        return noSuchSource;
    if (!ensureConnected())
        return notConnected;
    events_->readPending();
    const qsizetype index = source->handle;
    if (index < 0 || index >= sources_.size() || sources_.at(index)->localizedName != source->localizedName)
        return noSuchSource;
    const std::optional<I3IpcMessage> reply = commands_->request(
        I3Ipc::runCommand, "input type:keyboard xkb_switch_layout " + QByteArray::number(index),
        replyTimeoutMs);
    const std::optional<QJsonDocument> results = reply ? I3Ipc::parsePayload(reply->payload) : std::nullopt;
    if (!results || !results->isArray() || results->array().isEmpty())
        return requestFailed;
    for (const QJsonValue& result : results->array())
        if (!result.toObject().value(QLatin1String("success")).toBool())
            return requestFailed;
    active_ = int(index);
    ownSelection_ = int(index);
    foreign_ = {};
    return 0;
}

bool SwayTextInputSources::ensureConnected() {
    if (lost_)
        return false;
    if (events_ && events_->isConnected())
        return true;
    auto events = std::make_unique<SwayIpcSocket>(
        [this](const I3IpcMessage& message) { handleEvent(message); }, [this] { handleDisconnect(); });
    auto commands = std::make_unique<SwayIpcSocket>(nullptr, [this] { handleDisconnect(); });
    if (socketPath_.isEmpty() || !events->connectTo(socketPath_, connectTimeoutMs) ||
        !commands->connectTo(socketPath_, connectTimeoutMs)) {
        ConsoleOutput::writeLine(
            QStringLiteral("❌ Keyboard layouts unavailable: cannot connect to sway at ") + socketPath_);
        return false;
    }
    // Subscribed before the inputs are read, so no change falls between.
    const std::optional<I3IpcMessage> subscribed =
        events->request(I3Ipc::subscribe, R"(["input"])", replyTimeoutMs);
    const std::optional<I3IpcMessage> inputs = commands->request(I3Ipc::getInputs, {}, replyTimeoutMs);
    const std::optional<QJsonDocument> list = inputs ? I3Ipc::parsePayload(inputs->payload) : std::nullopt;
    if (!subscribed || !list || !list->isArray()) {
        ConsoleOutput::writeLine(QStringLiteral("❌ Keyboard layouts unavailable: sway did not answer at ") +
                                 socketPath_);
        return false;
    }
    events_ = std::move(events);
    commands_ = std::move(commands);
    for (const QJsonValue& input : list->array())
        if (applyKeyboard(input.toObject()))
            break;
    return true;
}

void SwayTextInputSources::handleEvent(const I3IpcMessage& message) {
    if (message.type != I3Ipc::inputEvent)
        return;
    const std::optional<QJsonDocument> event = I3Ipc::parsePayload(message.payload);
    if (!event)
        return;
    const QString change = event->object().value(QLatin1String("change")).toString();
    if (change != QLatin1String("xkb_layout") && change != QLatin1String("xkb_keymap"))
        return;
    const int before = active_;
    if (!applyKeyboard(event->object().value(QLatin1String("input")).toObject()))
        return;
    if (active_ == ownSelection_) {
        ownSelection_ = -1; // sway reporting Velmora's own switch
    } else if (active_ != before && before >= 0 && !sources_.isEmpty()) {
        const int count = int(sources_.size());
        foreign_.kind = ForeignLayoutChange::Kind::relative;
        foreign_.steps = (foreign_.steps + active_ - before + count) % count;
    }
}

bool SwayTextInputSources::applyKeyboard(const QJsonObject& input) {
    if (input.value(QLatin1String("type")).toString() != QLatin1String("keyboard"))
        return false;
    const QJsonArray names = input.value(QLatin1String("xkb_layout_names")).toArray();
    if (names.isEmpty())
        return false;
    QStringList layoutNames;
    for (const QJsonValue& name : names)
        layoutNames.append(name.toString());
    if (layoutNames != layoutNames_) {
        layoutNames_ = layoutNames;
        sources_.clear();
        for (qsizetype index = 0; index < layoutNames.size(); ++index) {
            InputSource source;
            source.identifier = registry_.identifierFor(layoutNames.at(index));
            if (!layoutNames.at(index).isEmpty())
                source.localizedName = layoutNames.at(index);
            source.handle = index;
            sources_.append(std::make_shared<const InputSource>(std::move(source)));
        }
    }
    active_ = input.value(QLatin1String("xkb_active_layout_index")).toInt(-1);
    return true;
}

void SwayTextInputSources::handleDisconnect() {
    if (lost_ || !events_)
        return;
    lost_ = true;
    // One ❌ line for the whole program, as the X11 backend says its own loss.
    ConsoleOutput::writeLine(QStringLiteral("❌ Lost the connection to sway: layout switching has stopped"));
    if (onConnectionLost_ && QCoreApplication::instance() != nullptr)
        QMetaObject::invokeMethod(QCoreApplication::instance(), onConnectionLost_, Qt::QueuedConnection);
}

} // namespace velmora
