#pragma once

#include "platform/TextInputSources.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class QDBusServiceWatcher;

namespace velmora {

// GNOME Shell's input sources through Velmora's extension in the shell
// (app.velmora.Shell on the session bus), in GNOME's order. Identifier: the
// XKB layout as "layout" or "layout(variant)" ("us+intl" → "us(intl)"); an
// IBus engine keeps its own id. Handle: the source's index in the shell.
//
// The current source is followed through the extension's signal, so asking
// for it makes no call; selecting activates the source through the shell's
// input source manager. The shell's switcher (Super+Space) reports its
// change as steps through the list; any other change is a selection.
class GnomeTextInputSources final : public QObject, public TextInputSources {
    Q_OBJECT

public:
    static constexpr int32_t notConnected = -1;
    static constexpr int32_t noSuchSource = -2;
    static constexpr int32_t requestFailed = -3;
    // GNOME Shell 48 and 51 drawing headless on a busy machine answered in up
    // to 1.5 s; a late switch still beats a lost one.
    static constexpr int replyTimeoutMs = 2500;

    explicit GnomeTextInputSources(QDBusConnection bus = QDBusConnection::sessionBus());
    ~GnomeTextInputSources() override;

    // Velmora's identifier for a source of the shell, or nothing.
    static std::optional<QString> identifierFor(const QString& type, const QString& id);

    InputSourceRef copyCurrentKeyboardInputSource() override;
    std::optional<QList<InputSourceRef>> createInputSourceList() override;
    int32_t selectInputSource(const InputSourceRef& source) override;
    int knownCurrentIndex() const override { return connected_ ? current_ : -1; }
    ForeignLayoutChange foreignChangeSinceLastSelection() override { return foreign_; }
    // GNOME's per-window input sources, as the extension last told them.
    LayoutScope layoutScope() const override {
        return connected_ && perWindow_ ? LayoutScope::window : LayoutScope::global;
    }

private Q_SLOTS:
    // QtDBus delivers bus signals to slots named by signature only.
    void handleCurrentChanged(uint index);
    void handleStepped(int steps);
    void handleSourcesChanged();

private:
    bool ensureConnected();
    bool loadSources();
    void handleExtensionGone();

    QDBusConnection bus_;
    std::unique_ptr<QDBusServiceWatcher> watcher_;
    bool connected_ = false;
    bool reportedMissing_ = false;
    QList<InputSourceRef> sources_;
    int current_ = -1;
    bool perWindow_ = false;
    // The index this object selected and has not yet seen the shell report.
    int ownSelection_ = -1;
    // Steps announced by the shell's switcher for the change that follows.
    std::optional<int> pendingSteps_;
    ForeignLayoutChange foreign_;
};

} // namespace velmora
