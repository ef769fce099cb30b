#pragma once

#include "platform/TextInputSources.h"

#include <QDBusConnection>
#include <QString>

#include <memory>

class QDBusServiceWatcher;

namespace velmora {

class KWinKeyboardLayouts;

// KWin's keyboard layouts as input sources, in KWin's order. Identifier:
// "layout" or "layout(variant)", the variant taken from kxkbrc, where KWin
// reads it (KWin's list does not carry it); display name: KWin's long name;
// handle: the index. The current layout is followed through KWin's signals,
// so asking for it makes no call; selecting calls setLayout.
//
// When KWin leaves the bus, one line says so and every operation fails at
// once, without a call, until a new owner of KWin's name appears.
class KWinTextInputSources final : public TextInputSources {
public:
    static constexpr int32_t notConnected = -1;
    static constexpr int32_t noSuchSource = -2;
    static constexpr int32_t requestFailed = -3;
    static constexpr int replyTimeoutMs = 500;

    static QString defaultLayoutConfig();

    explicit KWinTextInputSources(const QDBusConnection& connection = QDBusConnection::sessionBus(),
                                  QString layoutConfig = defaultLayoutConfig());
    ~KWinTextInputSources() override;

    InputSourceRef copyCurrentKeyboardInputSource() override;
    std::optional<QList<InputSourceRef>> createInputSourceList() override;
    int32_t selectInputSource(const InputSourceRef& source) override;
    int knownCurrentIndex() const override { return connected_ ? active_ : -1; }

    // KWin's signal does not say how the layout changed. Its shortcuts step
    // through the list, so a change this object did not make counts as the
    // steps from where it was; but with a layout kept per window or per
    // application, a change is KWin selecting the layout of the window that
    // got the focus.
    ForeignLayoutChange foreignChangeSinceLastSelection() override { return foreign_; }
    // kxkbrc's SwitchMode, read when asked: "Window" and "WinClass" keep a
    // layout per window and per application; "Desktop" one per virtual
    // desktop, which a change of window leaves alone, as "Global" does.
    LayoutScope layoutScope() const override;

private:
    // Takes KWin's list and current layout; false when KWin does not answer.
    bool fetch();
    void handleOwnerChanged(const QString& newOwner, int attempt = 0);
    void handleLayoutChanged(uint index);

    QDBusConnection connection_;
    QString layoutConfig_;
    std::unique_ptr<KWinKeyboardLayouts> kwin_;
    std::unique_ptr<QDBusServiceWatcher> watcher_;
    bool connected_ = false;
    int active_ = -1;
    QList<InputSourceRef> sources_;
    // The index this object selected and has not yet seen KWin report.
    int ownSelection_ = -1;
    ForeignLayoutChange foreign_;
};

} // namespace velmora
