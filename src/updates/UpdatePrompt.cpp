#include "updates/UpdatePrompt.h"

#include "localization/LocalizationKeys.h"
#include "platform/AlertPresenter.h"
#include "platform/Platform.h"

#include <QDir>
#include <QFileInfo>

namespace velmora {

UpdatePrompt::UpdatePrompt(std::function<QString(const QString& key)> localizedString)
    : localizedString_(std::move(localizedString)) {}

int UpdatePrompt::run(const QString& title, const QString& message, const QStringList& buttons,
                      int dismissResponse) const {
    AlertPresenter* alerts = Platform::current().alerts.get();
    return alerts != nullptr
               ? alerts->runModal({title, message, AlertStyle::warning, buttons, dismissResponse})
               : 0;
}

UpdatePrompt::OfferChoice UpdatePrompt::offer(const AppVersion& version,
                                              const QString& currentVersion) const {
    const int response = run(localized(LocalizationKeys::updateAvailableTitle),
                             localized(LocalizationKeys::updateAvailableMessage)
                                 .arg(version.name, currentVersion, version.version),
                             {localized(LocalizationKeys::download), localized(LocalizationKeys::skipVersion),
                              localized(LocalizationKeys::remindLater)},
                             AlertResponse::thirdButton);
    switch (response) {
    case AlertResponse::firstButton:
        return OfferChoice::download;
    case AlertResponse::secondButton:
        return OfferChoice::skip;
    case AlertResponse::thirdButton:
        return OfferChoice::remindLater;
    default:
        return OfferChoice::none;
    }
}

void UpdatePrompt::failure(Stage stage, const QString& message) const {
    const QString& title = stage == Stage::check ? LocalizationKeys::updateCheckFailedTitle
                                                 : LocalizationKeys::updateDownloadFailedTitle;
    run(localized(title), message, {localized(LocalizationKeys::okButton)}, AlertResponse::firstButton);
}

void UpdatePrompt::noUpdates(const QString& currentVersion) const {
    run(localized(LocalizationKeys::noUpdatesTitle),
        localized(LocalizationKeys::noUpdatesMessage).arg(currentVersion),
        {localized(LocalizationKeys::okButton)}, AlertResponse::firstButton);
}

bool UpdatePrompt::downloaded(const QString& filePath) const {
    return run(localized(LocalizationKeys::updateDownloadedTitle),
               localized(LocalizationKeys::updateDownloadedMessage).arg(QFileInfo(filePath).fileName()),
               {localized(LocalizationKeys::okButton), localized(LocalizationKeys::showInFinder)},
               AlertResponse::firstButton) == AlertResponse::secondButton;
}

bool UpdatePrompt::notOpened(const QString& filePath) const {
    const QFileInfo file(filePath);
    return run(localized(LocalizationKeys::updateNotOpenedTitle),
               localized(LocalizationKeys::updateNotOpenedMessage)
                   .arg(file.fileName(), QDir::toNativeSeparators(file.absolutePath())),
               {localized(LocalizationKeys::okButton), localized(LocalizationKeys::showInFinder)},
               AlertResponse::firstButton) == AlertResponse::secondButton;
}

void UpdatePrompt::notVerified() const {
    run(localized(LocalizationKeys::updateNotVerifiedTitle), localized(LocalizationKeys::updateNotVerifiedMessage),
        {localized(LocalizationKeys::okButton)}, AlertResponse::firstButton);
}

} // namespace velmora
