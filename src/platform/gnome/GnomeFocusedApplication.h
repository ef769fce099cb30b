#pragma once

#include "platform/FocusedApplication.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <memory>

class QDBusServiceWatcher;

namespace velmora {

// The application of GNOME Shell's focus window, as Velmora's extension in
// the shell tells it (app.velmora.Shell: GetFocus, FocusChanged): the
// desktop-entry id of the window's application, else the window's class;
// window key: the shell's id of the window.
// Read when the extension appears, followed through its signal after that.
// An extension older than this Velmora, until the next login, tells nothing.
class GnomeFocusedApplication final : public QObject, public FocusedApplication {
    Q_OBJECT

public:
    explicit GnomeFocusedApplication(QDBusConnection bus = QDBusConnection::sessionBus());
    ~GnomeFocusedApplication() override;

    bool followsFocus() const override { return answers_; }
    std::optional<QString> identifier() const override { return answers_ ? identifier_ : std::nullopt; }
    std::optional<QString> windowKey() const override { return answers_ ? window_ : std::nullopt; }

private Q_SLOTS:
    // QtDBus delivers bus signals to slots named by signature only.
    void handleFocusChanged(const QString& application, const QString& window);

private:
    void read();
    void set(bool answers, const QString& application, const QString& window);

    QDBusConnection bus_;
    std::unique_ptr<QDBusServiceWatcher> watcher_;
    bool answers_ = false;
    std::optional<QString> identifier_, window_;
};

} // namespace velmora
