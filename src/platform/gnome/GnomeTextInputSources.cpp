#include "platform/gnome/GnomeTextInputSources.h"

#include "base/ConsoleOutput.h"
#include "platform/gnome/GnomeShellBus.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusServiceWatcher>

namespace velmora {

namespace {

struct ShellSource {
    QString type;
    QString id;
    QString name;
};

QDBusMessage callShell(QDBusConnection& bus, const QString& method, const QVariantList& arguments = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall(GnomeShellBus::service, GnomeShellBus::path,
                                                       GnomeShellBus::interface, method);
    call.setArguments(arguments);
    return bus.call(call, QDBus::Block, GnomeTextInputSources::replyTimeoutMs);
}

std::optional<QList<ShellSource>> readSources(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
        return std::nullopt;
    const auto argument = reply.arguments().constFirst().value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("a(sss)"))
        return std::nullopt;
    QList<ShellSource> sources;
    argument.beginArray();
    while (!argument.atEnd()) {
        ShellSource source;
        argument.beginStructure();
        argument >> source.type >> source.id >> source.name;
        argument.endStructure();
        sources.append(source);
    }
    argument.endArray();
    return sources;
}

} // namespace

GnomeTextInputSources::GnomeTextInputSources(QDBusConnection bus)
    : bus_(std::move(bus)), watcher_(std::make_unique<QDBusServiceWatcher>(
                                GnomeShellBus::service, bus_, QDBusServiceWatcher::WatchForOwnerChange)) {
    const auto subscribe = [this](const char* name, const char* slot) {
        bus_.connect(GnomeShellBus::service, GnomeShellBus::path, GnomeShellBus::interface,
                     QString::fromLatin1(name), this, slot);
    };
    subscribe("CurrentChanged", SLOT(handleCurrentChanged(uint)));
    subscribe("Stepped", SLOT(handleStepped(int)));
    subscribe("SourcesChanged", SLOT(handleSourcesChanged()));
    connect(watcher_.get(), &QDBusServiceWatcher::serviceUnregistered, this,
            &GnomeTextInputSources::handleExtensionGone);
    connect(watcher_.get(), &QDBusServiceWatcher::serviceRegistered, this, [this] {
        const bool wasReported = reportedMissing_;
        if (loadSources() && wasReported)
            ConsoleOutput::writeLine(
                QStringLiteral("✅ GNOME Shell's Velmora extension is back: switching resumes"));
    });
}

GnomeTextInputSources::~GnomeTextInputSources() = default;

std::optional<QString> GnomeTextInputSources::identifierFor(const QString& type, const QString& id) {
    return desktopSourceIdentifier(type, id);
}

InputSourceRef GnomeTextInputSources::copyCurrentKeyboardInputSource() {
    if (!ensureConnected() || current_ < 0 || current_ >= sources_.size())
        return nullptr;
    return sources_.at(current_);
}

std::optional<QList<InputSourceRef>> GnomeTextInputSources::createInputSourceList() {
    if (!ensureConnected())
        return std::nullopt;
    return sources_;
}

int32_t GnomeTextInputSources::selectInputSource(const InputSourceRef& source) {
    if (!source)
        return noSuchSource;
    if (!ensureConnected())
        return notConnected;
    const qsizetype index = source->handle;
    if (index < 0 || index >= sources_.size() || sources_.at(index)->localizedName != source->localizedName)
        return noSuchSource;
    const QDBusMessage reply =
        callShell(bus_, QStringLiteral("Activate"), {QVariant::fromValue(uint(index))});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().value(0).toBool() != true)
        return requestFailed;
    // The shell's report of this switch is queued behind the reply.
    current_ = int(index);
    ownSelection_ = int(index);
    pendingSteps_.reset();
    foreign_ = {};
    return 0;
}

bool GnomeTextInputSources::ensureConnected() {
    if (connected_)
        return true;
    if (!loadSources()) {
        if (!reportedMissing_)
            ConsoleOutput::writeLine(QStringLiteral(
                "❌ Keyboard layouts unavailable: GNOME Shell's Velmora extension does not answer"));
        reportedMissing_ = true;
        return false;
    }
    return true;
}

bool GnomeTextInputSources::loadSources() {
    const std::optional<QList<ShellSource>> listed =
        readSources(callShell(bus_, QStringLiteral("ListSources")));
    const QDBusMessage current = callShell(bus_, QStringLiteral("GetCurrent"));
    if (!listed || current.type() != QDBusMessage::ReplyMessage)
        return false;
    sources_.clear();
    for (qsizetype index = 0; index < listed->size(); ++index) {
        InputSource source;
        source.identifier = identifierFor(listed->at(index).type, listed->at(index).id);
        if (!listed->at(index).name.isEmpty())
            source.localizedName = listed->at(index).name;
        source.handle = index;
        sources_.append(std::make_shared<const InputSource>(std::move(source)));
    }
    // An extension older than this Velmora does not tell; the session's one source then.
    const QDBusMessage perWindow = callShell(bus_, QStringLiteral("GetPerWindow"));
    perWindow_ = perWindow.type() == QDBusMessage::ReplyMessage && perWindow.arguments().value(0).toBool();
    const uint index = current.arguments().value(0).toUInt();
    current_ = index < uint(sources_.size()) ? int(index) : -1;
    connected_ = true;
    reportedMissing_ = false;
    return true;
}

void GnomeTextInputSources::handleCurrentChanged(uint index) {
    if (!connected_)
        return;
    const int before = current_;
    current_ = index < uint(sources_.size()) ? int(index) : -1;
    const std::optional<int> steps = std::exchange(pendingSteps_, std::nullopt);
    if (current_ == ownSelection_) {
        ownSelection_ = -1; // the shell reporting Velmora's own switch
        return;
    }
    if (current_ == before || current_ < 0)
        return;
    if (steps && foreign_.kind != ForeignLayoutChange::Kind::selection) {
        foreign_.kind = ForeignLayoutChange::Kind::relative;
        foreign_.steps = (foreign_.steps + *steps) % int(sources_.size());
    } else {
        foreign_ = {ForeignLayoutChange::Kind::selection};
    }
}

void GnomeTextInputSources::handleStepped(int steps) {
    pendingSteps_ = steps;
}

void GnomeTextInputSources::handleSourcesChanged() {
    if (connected_)
        loadSources();
}

void GnomeTextInputSources::handleExtensionGone() {
    if (reportedMissing_)
        return;
    connected_ = false;
    sources_.clear();
    current_ = -1;
    ownSelection_ = -1;
    reportedMissing_ = true;
    ConsoleOutput::writeLine(QStringLiteral(
        "⚠️ GNOME Shell's Velmora extension stopped: layouts stay as they are until it is back"));
}

} // namespace velmora
