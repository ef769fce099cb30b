#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace velmora {

// Keeps one Velmora per user session, whatever its display server. The first
// instance holds a lock and listens on a local socket; a later launch hands it
// "reopen" and ends, so there is never a second instance switching layouts.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // The lock and socket live in runtimeDirectory, which is the user's own.
    explicit SingleInstance(const QString& runtimeDirectory);
    ~SingleInstance() override;

    // True when this process is now the one instance. Otherwise the running
    // instance was asked to reopen (reopenDelivered() tells whether it heard).
    bool claim();
    bool reopenDelivered() const { return reopenDelivered_; }

    // Runs on the main thread for every "reopen" a later launch sends.
    void setReopenHandler(std::function<void()> handler) { reopenHandler_ = std::move(handler); }

    QString socketPath() const { return socketPath_; }

    static QString defaultRuntimeDirectory();
    // Creates the folder for the user alone where it is missing; why it may
    // not hold the lock when it is a link, another user's, or open to others
    // (whoever made it could keep Velmora from starting, or take its socket).
    static std::optional<QString> runtimeDirectoryProblem(const QString& folder);

private:
    bool sendReopen();
    void acceptConnections();

    QString socketPath_;
    QLockFile lock_;
    std::unique_ptr<QLocalServer> server_;
    std::function<void()> reopenHandler_;
    bool reopenDelivered_ = false;
};

} // namespace velmora
