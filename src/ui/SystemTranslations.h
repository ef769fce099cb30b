#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

namespace velmora {

// The tables of the ui layer's tr() texts (the Advanced tab), embedded as
// :/i18n-ui/velmora_ui_<code>.qm. Those texts follow the desktop's language,
// like the platform's own dialogs, not the interface language Velmora's
// preferences choose. Main thread only; needs a QCoreApplication.
class SystemTranslations {
public:
    // Installs the table of the first preferred language (and only the first,
    // as the interface language detection does), replacing one installed
    // before; English and languages without a table install none and show
    // the source texts. Returns the code installed, or an empty string.
    static QString install(const QStringList& preferredLanguages = QLocale::system().uiLanguages());
};

} // namespace velmora
