#include "ui/SystemTranslations.h"

#include "localization/SupportedLanguage.h"

#include <QCoreApplication>
#include <QTranslator>

#include <memory>

namespace velmora {

QString SystemTranslations::install(const QStringList& preferredLanguages) {
    // Kept for the life of the process: the application holds only a pointer.
    static std::unique_ptr<QTranslator> installed;
    if (installed) {
        QCoreApplication::removeTranslator(installed.get());
        installed.reset();
    }
    const std::optional<SupportedLanguage> language =
        preferredLanguages.isEmpty() ? std::nullopt
                                     : SupportedLanguage::forDesktopLanguage(preferredLanguages.first());
    if (!language)
        return {};
    auto table = std::make_unique<QTranslator>();
    if (!table->load(QStringLiteral(":/i18n-ui/velmora_ui_") + language->rawValue() + QStringLiteral(".qm")))
        return {};
    QCoreApplication::installTranslator(table.get());
    installed = std::move(table);
    return language->rawValue();
}

} // namespace velmora
