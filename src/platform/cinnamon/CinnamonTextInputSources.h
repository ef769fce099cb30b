#pragma once

#include "platform/TextInputSources.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <memory>

class QDBusServiceWatcher;
class QTimer;

namespace velmora {

// Cinnamon's own input sources (org.Cinnamon on the session bus), in
// Cinnamon's order. Cinnamon 6.6 applies the keymap itself and puts back any
// XKB group it did not select, so Velmora selects through it. Identifier:
// the XKB layout as "layout" or "layout(variant)" ("us+intl" → "us(intl)");
// display name: Cinnamon's; handle: Cinnamon's index of the source.
//
// The current source is followed through CurrentInputSourceChanged, so
// asking for it makes no call; selecting calls ActivateInputSourceIndex.
// When Cinnamon leaves the bus (a restart from its menu), one line says so
// and every operation fails at once, without a call, until it is back.
class CinnamonTextInputSources final : public QObject, public TextInputSources {
    Q_OBJECT

public:
    static constexpr const char* service = "org.Cinnamon";
    static constexpr int32_t notConnected = -1;
    static constexpr int32_t noSuchSource = -2;
    static constexpr int32_t requestFailed = -3;
    // Cinnamon answers a selection once it has applied the keymap; drawing
    // with software GL on a loaded machine it took over a second. Far below
    // D-Bus's 25 s, and a late switch still beats a lost one.
    static constexpr int replyTimeoutMs = 2500;
    // gsettings reads the settings database, no service; a hung one counts as no option.
    static constexpr int settingsTimeoutMs = 1000;

    explicit CinnamonTextInputSources(QDBusConnection bus = QDBusConnection::sessionBus());
    ~CinnamonTextInputSources() override;

    // Whether the Cinnamon on the bus manages input sources itself (6.6 and
    // later); older ones leave the XKB group to any client.
    static bool managesInputSources(QDBusConnection bus = QDBusConnection::sessionBus());

    InputSourceRef copyCurrentKeyboardInputSource() override;
    std::optional<QList<InputSourceRef>> createInputSourceList() override;
    int32_t selectInputSource(const InputSourceRef& source) override;

    // Cinnamon's signal names the source now current, not how it got there:
    // its switching keys, its applet, a layout kept per window and another
    // program all look the same. So a change this object did not make is a
    // selection, and the user's layout at release is the one they chose.
    ForeignLayoutChange foreignChangeSinceLastSelection() override { return foreign_; }
    // Cinnamon's per-window option, read from its settings when asked (it is
    // told nowhere on the bus); asked only when the focus moved during a hold.
    LayoutScope layoutScope() const override;

private Q_SLOTS:
    // QtDBus delivers bus signals to slots named by signature only.
    void handleCurrentChanged(const QString& id);
    void handleSourcesChanged();

private:
    // Takes Cinnamon's list and current source; false when it does not answer.
    bool fetch();
    void handleOwnerChanged(const QString& newOwner);

    QDBusConnection bus_;
    std::unique_ptr<QDBusServiceWatcher> watcher_;
    std::unique_ptr<QTimer> retry_;
    QString owner_; // Cinnamon's unique name on the bus, while it has one
    int attempts_ = 0;
    bool connected_ = false;
    QList<InputSourceRef> sources_;
    QStringList ids_; // Cinnamon's ids, as its signal names them
    int current_ = -1;
    // Cinnamon's ids of the sources this object selected and has not yet
    // seen reported, oldest first (Cinnamon reports every activation, in
    // order, the current source's too).
    QStringList pending_;
    ForeignLayoutChange foreign_;
};

} // namespace velmora
