#pragma once

#include "updates/AppVersion.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace velmora {

// The update alerts, shown through Platform::current().alerts with their
// texts looked up when shown. Each returns what the user chose and does
// nothing about it; without a presenter nothing is chosen.
class UpdatePrompt {
public:
    enum class OfferChoice { none, download, skip, remindLater };
    // What failed: the check for a newer version, or getting the offered one.
    enum class Stage { check, download };

    explicit UpdatePrompt(std::function<QString(const QString& key)> localizedString);

    OfferChoice offer(const AppVersion& version, const QString& currentVersion) const;
    // `message` is shown as it is: it names a failure and is not translated.
    void failure(Stage stage, const QString& message) const;
    void noUpdates(const QString& currentVersion) const;
    // These two return true when the user asked to see the file: the
    // package is in place and opening, or in place but the opener failed.
    bool downloaded(const QString& filePath) const;
    bool notOpened(const QString& filePath) const;
    void notVerified() const;

private:
    QString localized(const QString& key) const { return localizedString_(key); }
    int run(const QString& title, const QString& message, const QStringList& buttons,
            int dismissResponse) const;

    std::function<QString(const QString& key)> localizedString_;
};

} // namespace velmora
