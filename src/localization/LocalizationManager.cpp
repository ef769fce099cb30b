#include "localization/LocalizationManager.h"

#include "localization/SupportedLanguage.h"
#include "settings/Constants.h"
#include "settings/NotificationCenter.h"
#include "settings/SettingsStore.h"

#include <QFileInfo>
#include <QLocale>
#include <QTranslator>

namespace velmora {

namespace {

const QString systemLanguage = SupportedLanguage(SupportedLanguage::system).rawValue();
const QString englishLanguage = SupportedLanguage(SupportedLanguage::english).rawValue();

} // namespace

LocalizationManager::Dependencies LocalizationManager::Dependencies::system() {
    return {&LocalizationManager::systemPreferredLanguages, &SettingsStore::standard,
            &NotificationCenter::defaultCenter(), QStringLiteral(":/i18n")};
}

LocalizationManager& LocalizationManager::shared() {
    // Never deleted: screens and the menu may look texts up during shutdown.
    static LocalizationManager* const instance = new LocalizationManager(Dependencies::system());
    return *instance;
}

LocalizationManager::LocalizationManager(Dependencies dependencies, QObject* parent)
    : QObject(parent), dependencies_(std::move(dependencies)), currentLanguage_(systemLanguage) {
    // Initialisation, not a change: nothing is announced here.
    SettingsStore& settings = dependencies_.settings();
    if (const std::optional<QString> stored = settings.stringForKey(Constants::appLanguage)) {
        currentLanguage_ = *stored;
    } else {
        // A first start stores the detected code, never "system".
        currentLanguage_ = detectSystemLanguage();
        settings.setString(Constants::appLanguage, currentLanguage_);
    }
    updateBundle();
}

LocalizationManager::~LocalizationManager() = default;

void LocalizationManager::setCurrentLanguage(const QString& language) {
    currentLanguage_ = language;
    dependencies_.settings().setString(Constants::appLanguage, language);
    updateBundle();
    // Observers hear of the change only once the new texts are in place, so
    // a screen that rebuilds at once already shows the new language.
    dependencies_.notificationCenter->post(Constants::languageDidChangeNotification);
}

QString LocalizationManager::localizedString(const QString& key) const {
    if (!bundle_)
        return key;
    const QString text = bundle_->translate(nullptr, key.toUtf8().constData());
    return text.isEmpty() ? key : text;
}

void LocalizationManager::updateBundle() {
    const QString code = currentLanguage_ == systemLanguage ? detectSystemLanguage() : currentLanguage_;
    if (loadBundle(code) || loadBundle(englishLanguage))
        return;
    bundle_.reset();
    bundleLanguage_.clear();
}

bool LocalizationManager::loadBundle(const QString& code) {
    const QString path = tablePath(dependencies_.tableDirectory, code);
    if (!QFileInfo(path).isFile())
        return false;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(path))
        return false;
    bundle_ = std::move(translator);
    bundleLanguage_ = code;
    return true;
}

QString LocalizationManager::detectSystemLanguage() const {
    return languageForPreferredLanguages(dependencies_.preferredLanguages());
}

QString LocalizationManager::languageForPreferredLanguages(const QStringList& preferredLanguages) {
    if (preferredLanguages.isEmpty())
        return englishLanguage;
    // Only the most preferred language counts, even when a later one is supported.
    const std::optional<SupportedLanguage> language = SupportedLanguage::forDesktopLanguage(preferredLanguages.first());
    return language ? language->rawValue() : englishLanguage;
}

QStringList LocalizationManager::systemPreferredLanguages() { return QLocale::system().uiLanguages(); }

QString LocalizationManager::tablePath(const QString& directory, const QString& code) {
    return directory + QStringLiteral("/velmora_") + code + QStringLiteral(".qm");
}

} // namespace velmora
