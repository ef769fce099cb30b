#pragma once

#include "platform/FocusedApplication.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QString>

#include <memory>

class QDBusServiceWatcher;

namespace velmora {

// The application of KWin's active window. KWin tells it only to its own
// scripts, so Velmora loads a small one through KWin's scripting interface
// (org.kde.KWin /Scripting) that calls back this object on the session bus
// at every activation. Identifier: the window's desktop file name, else its
// resource class; window key: the window's internal id. A KWin that comes
// back gets the script again; Velmora's exit unloads it.
class KWinFocusedApplication final : public QObject, public FocusedApplication, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "app.velmora.Focus")

public:
    static constexpr const char* objectPath = "/app/velmora/Focus";
    static constexpr const char* pluginName = "velmora-focus";

    // The script is written into scriptFolder, where KWin reads it.
    explicit KWinFocusedApplication(QDBusConnection bus = QDBusConnection::sessionBus(),
                                    QString scriptFolder = defaultScriptFolder());
    ~KWinFocusedApplication() override;

    static QString defaultScriptFolder();
    // The script's text: it reports to the bus name given.
    static QString script(const QString& busName);

    bool followsFocus() const override { return loaded_; }
    std::optional<QString> identifier() const override { return loaded_ ? identifier_ : std::nullopt; }
    std::optional<QString> windowKey() const override { return loaded_ ? window_ : std::nullopt; }

public Q_SLOTS:
    // Called by the script in KWin; an empty window: no active window.
    Q_SCRIPTABLE void Activated(const QString& identifier, const QString& window);

private:
    bool load();
    void handleOwnerChanged(const QString& newOwner, int attempt = 0);
    void setFocus(std::optional<QString> identifier, std::optional<QString> window);

    QDBusConnection bus_;
    QString scriptPath_;
    std::unique_ptr<QDBusServiceWatcher> watcher_;
    bool loaded_ = false;
    QString kwinOwner_;
    std::optional<QString> identifier_, window_;
};

} // namespace velmora
