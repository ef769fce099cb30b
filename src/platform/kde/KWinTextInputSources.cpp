#include "platform/kde/KWinTextInputSources.h"

#include "base/ConsoleOutput.h"
#include "platform/kde/KWinKeyboardLayouts.h"

#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QFile>
#include <QHash>
#include <QStandardPaths>
#include <QTimer>

namespace velmora {

namespace {

constexpr int maxFetchAttempts = 4;
constexpr int retryDelayMs = 250;

// The [Layout] group of kxkbrc, values split at commas as KDE writes lists.
QHash<QString, QStringList> readLayoutGroup(const QString& path) {
    QHash<QString, QStringList> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return entries;
    bool inLayout = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inLayout = line == QLatin1String("[Layout]");
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (inLayout && equals > 0)
            entries.insert(line.left(equals).trimmed(),
                           line.mid(equals + 1).trimmed().split(QLatin1Char(',')));
    }
    return entries;
}

// Any SwitchMode but the default "Global" keeps a layout per window,
// application or desktop.
bool layoutFollowsFocus(const QString& layoutConfig) {
    const QStringList mode = readLayoutGroup(layoutConfig).value(QStringLiteral("SwitchMode"));
    return !mode.isEmpty() && !mode.constFirst().isEmpty() && mode.constFirst() != QLatin1String("Global");
}

} // namespace

QString KWinTextInputSources::defaultLayoutConfig() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/kxkbrc");
}

KWinTextInputSources::KWinTextInputSources(const QDBusConnection& connection, QString layoutConfig)
    : connection_(connection), layoutConfig_(std::move(layoutConfig)),
      kwin_(std::make_unique<KWinKeyboardLayouts>(connection_, replyTimeoutMs)) {
    const QString service = QLatin1String(KWinKeyboardLayouts::service);
    watcher_ =
        std::make_unique<QDBusServiceWatcher>(service, connection_, QDBusServiceWatcher::WatchForOwnerChange);
    QObject::connect(
        watcher_.get(), &QDBusServiceWatcher::serviceOwnerChanged, kwin_.get(),
        [this](const QString&, const QString&, const QString& newOwner) { handleOwnerChanged(newOwner); });
    QObject::connect(kwin_.get(), &KWinKeyboardLayouts::layoutChanged, kwin_.get(),
                     [this](uint index) { handleLayoutChanged(index); });
    QObject::connect(kwin_.get(), &KWinKeyboardLayouts::layoutListChanged, kwin_.get(), [this] {
        if (connected_)
            fetch();
    });
    const bool present = connection_.isConnected() && connection_.interface()->isServiceRegistered(service);
    connected_ = present && fetch();
    if (!connected_)
        ConsoleOutput::writeLine(
            QStringLiteral("❌ Keyboard layouts unavailable: KWin does not answer on the session bus"));
}

KWinTextInputSources::~KWinTextInputSources() = default;

LayoutScope KWinTextInputSources::layoutScope() const {
    const QString mode = readLayoutGroup(layoutConfig_).value(QStringLiteral("SwitchMode")).value(0);
    if (mode == QLatin1String("Window"))
        return LayoutScope::window;
    return mode == QLatin1String("WinClass") ? LayoutScope::application : LayoutScope::global;
}

InputSourceRef KWinTextInputSources::copyCurrentKeyboardInputSource() {
    if (!connected_ || active_ < 0 || active_ >= sources_.size())
        return nullptr;
    return sources_.at(active_);
}

std::optional<QList<InputSourceRef>> KWinTextInputSources::createInputSourceList() {
    if (!connected_)
        return std::nullopt;
    return sources_;
}

int32_t KWinTextInputSources::selectInputSource(const InputSourceRef& source) {
    if (!source)
        return noSuchSource;
    if (!connected_)
        return notConnected;
    const qsizetype index = source->handle;
    if (index < 0 || index >= sources_.size() || sources_.at(index)->identifier != source->identifier)
        return noSuchSource;
    if (!kwin_->setLayout(uint(index)))
        return requestFailed;
    // KWin announces only a change; selecting the current layout brings none.
    ownSelection_ = index == active_ ? -1 : int(index);
    active_ = int(index);
    foreign_ = {};
    return 0;
}

bool KWinTextInputSources::fetch() {
    const std::optional<QList<KWinKeyboardLayouts::Layout>> layouts = kwin_->layouts();
    const std::optional<uint> current = kwin_->layout();
    if (!layouts || !current)
        return false;
    // kxkbrc lists layouts and variants in KWin's order when it is in use.
    const QHash<QString, QStringList> config = readLayoutGroup(layoutConfig_);
    const QStringList configured = config.value(QStringLiteral("LayoutList"));
    const QStringList variants = config.value(QStringLiteral("VariantList"));
    sources_.clear();
    for (qsizetype index = 0; index < layouts->size(); ++index) {
        const KWinKeyboardLayouts::Layout& layout = layouts->at(index);
        InputSource source;
        QString identifier = layout.shortName;
        if (configured.size() == layouts->size() && configured.at(index).trimmed() == layout.shortName &&
            index < variants.size() && !variants.at(index).trimmed().isEmpty())
            identifier += QLatin1Char('(') + variants.at(index).trimmed() + QLatin1Char(')');
        if (!identifier.isEmpty())
            source.identifier = identifier;
        if (!layout.longName.isEmpty())
            source.localizedName = layout.longName;
        source.handle = index;
        sources_.append(std::make_shared<const InputSource>(std::move(source)));
    }
    active_ = int(*current);
    return true;
}

void KWinTextInputSources::handleOwnerChanged(const QString& newOwner, int attempt) {
    const bool wasConnected = connected_;
    ownSelection_ = -1;
    foreign_ = {};
    connected_ = !newOwner.isEmpty() && fetch();
    if (wasConnected && !connected_)
        ConsoleOutput::writeLine(
            QStringLiteral("❌ KWin left the session bus: layout switching stops until it is back"));
    else if (connected_)
        ConsoleOutput::writeLine(QStringLiteral("✅ KWin is on the session bus: layout switching resumes"));
    // A starting KWin may own its name a moment before its layouts answer.
    else if (!newOwner.isEmpty() && attempt < maxFetchAttempts)
        QTimer::singleShot(retryDelayMs, kwin_.get(), [this, newOwner, attempt] {
            if (!connected_)
                handleOwnerChanged(newOwner, attempt + 1);
        });
}

void KWinTextInputSources::handleLayoutChanged(uint index) {
    if (!connected_)
        return;
    const int before = active_;
    active_ = int(index);
    if (active_ == ownSelection_) {
        ownSelection_ = -1; // KWin reporting Velmora's own switch
        return;
    }
    const int count = int(sources_.size());
    if (active_ == before || before < 0 || count == 0 ||
        foreign_.kind == ForeignLayoutChange::Kind::selection)
        return;
    if (layoutFollowsFocus(layoutConfig_)) {
        foreign_ = {ForeignLayoutChange::Kind::selection, 0};
        return;
    }
    foreign_.kind = ForeignLayoutChange::Kind::relative;
    foreign_.steps = (foreign_.steps + active_ - before + count) % count;
}

} // namespace velmora
