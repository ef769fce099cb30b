#pragma once

#include <QHash>
#include <QString>

namespace velmora {

// The keyboard layouts' names in one language, as xkeyboard-config translates
// them: its gettext catalogue (a compiled .mo file, domain
// "xkeyboard-config"), read once when loaded. The X server and the
// compositors name layouts by xkeyboard-config's English descriptions
// ("Russian", "English (US)"), which are the catalogue's message ids.
class LayoutNameCatalog {
public:
    // No catalogue: every name stays as it is.
    LayoutNameCatalog() = default;
    // Reads the catalogue at `path`; a missing or damaged file gives an empty one.
    explicit LayoutNameCatalog(const QString& path);

    // xkeyboard-config's catalogue for one of Velmora's interface languages
    // under `localeRoot`; empty for English and for a language it has none for.
    static QString pathFor(const QString& languageCode,
                           const QString& localeRoot = QStringLiteral("/usr/share/locale"));

    bool isEmpty() const { return names_.isEmpty(); }
    // The translated name, or `name` itself when the catalogue has none.
    QString translate(const QString& name) const { return names_.value(name, name); }

private:
    QHash<QString, QString> names_;
};

} // namespace velmora
