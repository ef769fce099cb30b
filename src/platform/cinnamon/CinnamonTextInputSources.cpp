#include "platform/cinnamon/CinnamonTextInputSources.h"

#include "base/ConsoleOutput.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QProcess>
#include <QTimer>

#include <algorithm>

namespace velmora {

namespace {

const QString path = QStringLiteral("/org/Cinnamon");
const QString interface = QStringLiteral("org.Cinnamon");
const QString sourcesSignature = QStringLiteral("a(ssisssssssib)");
constexpr int retryDelayMs = 250;
// A name owner that never answers (a Cinnamon without input sources) is
// left alone after half a minute.
constexpr int maxAttempts = 120;
// Selections a Cinnamon that never reports them can leave behind.
constexpr qsizetype maxPending = 8;

struct CinnamonSource {
    QString type, id, displayName;
    int index = -1;
    bool current = false;
};

QDBusMessage callCinnamon(QDBusConnection& bus, const QString& method, const QVariantList& arguments = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(CinnamonTextInputSources::service), path,
                                                       interface, method);
    call.setArguments(arguments);
    return bus.call(call, QDBus::Block, CinnamonTextInputSources::replyTimeoutMs);
}

std::optional<QList<CinnamonSource>> readSources(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != sourcesSignature)
        return std::nullopt;
    const auto argument = reply.arguments().constFirst().value<QDBusArgument>();
    QList<CinnamonSource> sources;
    argument.beginArray();
    while (!argument.atEnd()) {
        CinnamonSource source;
        // Short name, flag, XKB id, layout, variant, preferences; duplicate number.
        QString unused;
        int duplicate = 0;
        argument.beginStructure();
        argument >> source.type >> source.id >> source.index >> source.displayName;
        for (int field = 0; field < 6; ++field)
            argument >> unused;
        argument >> duplicate >> source.current;
        argument.endStructure();
        sources.append(source);
    }
    argument.endArray();
    return sources;
}

} // namespace

CinnamonTextInputSources::CinnamonTextInputSources(QDBusConnection bus)
    : bus_(std::move(bus)), watcher_(std::make_unique<QDBusServiceWatcher>(
                                QLatin1String(service), bus_, QDBusServiceWatcher::WatchForOwnerChange)),
      retry_(std::make_unique<QTimer>()) {
    bus_.connect(QLatin1String(service), path, interface, QStringLiteral("CurrentInputSourceChanged"), this,
                 SLOT(handleCurrentChanged(QString)));
    bus_.connect(QLatin1String(service), path, interface, QStringLiteral("InputSourcesChanged"), this,
                 SLOT(handleSourcesChanged()));
    connect(
        watcher_.get(), &QDBusServiceWatcher::serviceOwnerChanged, this,
        [this](const QString&, const QString&, const QString& newOwner) { handleOwnerChanged(newOwner); });
    retry_->setSingleShot(true);
    retry_->setInterval(retryDelayMs);
    connect(retry_.get(), &QTimer::timeout, this, [this] {
        if (!connected_ && !owner_.isEmpty())
            handleOwnerChanged(owner_);
    });
    connected_ = bus_.isConnected() && fetch();
    if (connected_)
        owner_ = bus_.interface()->serviceOwner(QLatin1String(service)).value();
    else
        ConsoleOutput::writeLine(
            QStringLiteral("❌ Keyboard layouts unavailable: Cinnamon does not answer on the session bus"));
}

CinnamonTextInputSources::~CinnamonTextInputSources() = default;

bool CinnamonTextInputSources::managesInputSources(QDBusConnection bus) {
    return bus.isConnected() && bus.interface()->isServiceRegistered(QLatin1String(service)) &&
           readSources(callCinnamon(bus, QStringLiteral("GetInputSources"))).has_value();
}

InputSourceRef CinnamonTextInputSources::copyCurrentKeyboardInputSource() {
    if (!connected_ || current_ < 0 || current_ >= sources_.size())
        return nullptr;
    return sources_.at(current_);
}

std::optional<QList<InputSourceRef>> CinnamonTextInputSources::createInputSourceList() {
    if (!connected_)
        return std::nullopt;
    return sources_;
}

int32_t CinnamonTextInputSources::selectInputSource(const InputSourceRef& source) {
    if (!source)
        return noSuchSource;
    if (!connected_)
        return notConnected;
    const auto found = std::find_if(sources_.cbegin(), sources_.cend(), [&](const InputSourceRef& known) {
        return known->handle == source->handle && known->identifier == source->identifier;
    });
    if (found == sources_.cend())
        return noSuchSource;
    const qsizetype position = found - sources_.cbegin();
    // Cinnamon's method answers nothing; an error reply is its only failure.
    const QDBusMessage reply = callCinnamon(bus_, QStringLiteral("ActivateInputSourceIndex"),
                                            {QVariant::fromValue(int(source->handle))});
    if (reply.type() != QDBusMessage::ReplyMessage)
        return requestFailed;
    if (pending_.size() == maxPending)
        pending_.removeFirst();
    pending_.append(ids_.at(position));
    current_ = int(position);
    foreign_ = {};
    return 0;
}

bool CinnamonTextInputSources::fetch() {
    const std::optional<QList<CinnamonSource>> listed =
        readSources(callCinnamon(bus_, QStringLiteral("GetInputSources")));
    if (!listed)
        return false;
    sources_.clear();
    ids_.clear();
    pending_.clear();
    current_ = -1;
    for (const CinnamonSource& listedSource : *listed) {
        InputSource source;
        source.identifier = desktopSourceIdentifier(listedSource.type, listedSource.id);
        if (!listedSource.displayName.isEmpty())
            source.localizedName = listedSource.displayName;
        source.handle = listedSource.index;
        if (listedSource.current)
            current_ = int(sources_.size());
        sources_.append(std::make_shared<const InputSource>(std::move(source)));
        ids_.append(listedSource.id);
    }
    return true;
}

void CinnamonTextInputSources::handleCurrentChanged(const QString& id) {
    if (!connected_)
        return;
    if (!pending_.isEmpty()) {
        // Velmora's own switch reported; a change made before it was undone by it.
        if (pending_.constFirst() == id)
            pending_.removeFirst();
        return;
    }
    const int index = int(ids_.indexOf(id));
    if (index < 0 || index == current_)
        return;
    current_ = index;
    foreign_ = {ForeignLayoutChange::Kind::selection};
}

void CinnamonTextInputSources::handleSourcesChanged() {
    if (connected_)
        fetch();
    else if (!owner_.isEmpty())
        handleOwnerChanged(owner_);
}

void CinnamonTextInputSources::handleOwnerChanged(const QString& newOwner) {
    const bool wasConnected = connected_;
    owner_ = newOwner;
    foreign_ = {};
    connected_ = !newOwner.isEmpty() && fetch();
    if (wasConnected && !connected_)
        ConsoleOutput::writeLine(
            QStringLiteral("❌ Cinnamon left the session bus: layout switching stops until it is back"));
    else if (connected_ && !wasConnected)
        ConsoleOutput::writeLine(
            QStringLiteral("✅ Cinnamon is on the session bus: layout switching resumes"));
    // A starting Cinnamon owns its name before its object and sources exist:
    // asked again until it answers, or until it announces its sources.
    attempts_ = connected_ || newOwner.isEmpty() ? 0 : attempts_ + 1;
    if (attempts_ > 0 && attempts_ < maxAttempts)
        retry_->start();
}

LayoutScope CinnamonTextInputSources::layoutScope() const {
    if (!connected_)
        return LayoutScope::global;
    QProcess gsettings;
    gsettings.start(QStringLiteral("gsettings"),
                    {QStringLiteral("get"), QStringLiteral("org.cinnamon.desktop.input-sources"),
                     QStringLiteral("per-window")});
    if (!gsettings.waitForFinished(settingsTimeoutMs)) {
        gsettings.kill();
        gsettings.waitForFinished();
        return LayoutScope::global;
    }
    return gsettings.readAllStandardOutput().trimmed() == "true" ? LayoutScope::window : LayoutScope::global;
}

} // namespace velmora
