#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QTranslator;

namespace velmora {

class NotificationCenter;
class SettingsStore;

// Holds the chosen interface language, persists it under "AppLanguage" and
// answers every lookup of a user-visible text by key. Screens bind to
// currentLanguage (or observe "languageDidChange") and rebuild their texts
// after each assignment. Main thread only.
//
// The "bundle" is the compiled string table of the chosen code
// (<tableDirectory>/velmora_<code>.qm), else the English one, else none; a key
// the bundle lacks reads as the key itself, never as the English text.
class LocalizationManager final : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString currentLanguage READ currentLanguage WRITE setCurrentLanguage)

public:
    // Where the manager looks things up; all four must be set. system() gives
    // the real ones, which tests replace in part or whole.
    struct Dependencies {
        // The desktop's preferred languages, most preferred first.
        std::function<QStringList()> preferredLanguages;
        // Called at each read and write, so a store swapped in later is used.
        std::function<SettingsStore&()> settings;
        NotificationCenter* notificationCenter = nullptr;
        // The folder (usually a resource prefix) holding the compiled tables.
        QString tableDirectory;

        static Dependencies system();
    };

    // The process-wide instance, created on first use and never destroyed.
    static LocalizationManager& shared();

    explicit LocalizationManager(Dependencies dependencies, QObject* parent = nullptr);
    ~LocalizationManager() override;

    QString currentLanguage() const { return currentLanguage_; }
    // Stores the value, writes "AppLanguage", reloads the bundle and posts
    // "languageDidChange" (the one announcement of the change), every time,
    // also when the value is the one already held. Not validated.
    void setCurrentLanguage(const QString& language);

    QString localizedString(const QString& key) const;

    // Chooses the bundle for currentLanguage; "system" is re-detected each time.
    void updateBundle();
    // Maps the first preferred language to one of the nine codes.
    QString detectSystemLanguage() const;

    // The code whose table answers lookups; empty when none does.
    QString bundleLanguage() const { return bundleLanguage_; }

    static QString languageForPreferredLanguages(const QStringList& preferredLanguages);
    // On Linux LANGUAGE, LC_ALL, LC_MESSAGES and LANG decide this list.
    static QStringList systemPreferredLanguages();
    static QString tablePath(const QString& directory, const QString& code);

private:
    bool loadBundle(const QString& code);

    Dependencies dependencies_;
    QString currentLanguage_;
    std::unique_ptr<QTranslator> bundle_;
    QString bundleLanguage_;
};

} // namespace velmora
