#include "platform/linux/DesktopEntries.h"

#include <QDirIterator>
#include <QFile>
#include <QLocale>
#include <QSet>
#include <QStandardPaths>

#include <algorithm>

namespace velmora::DesktopEntries {

namespace {

struct Parsed {
    DesktopEntry entry;
    bool shown = false;
};

// The [Desktop Entry] group of one file; localized names by the interface's
// locale ("de_DE", then "de").
Parsed parse(const QString& path, const QString& identifier) {
    Parsed parsed;
    parsed.entry.identifier = identifier;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return parsed;
    const QString locale = QLocale().name();
    const QString language = locale.section(u'_', 0, 0);
    QString localeName, languageName, type;
    bool hidden = false, inGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'[')) {
            inGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inGroup || equals <= 0 || line.startsWith(u'#'))
            continue;
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (key == QLatin1String("Name"))
            parsed.entry.name = value;
        else if (key == QStringLiteral("Name[%1]").arg(locale))
            localeName = value;
        else if (key == QStringLiteral("Name[%1]").arg(language))
            languageName = value;
        else if (key == QLatin1String("Icon"))
            parsed.entry.icon = value;
        else if (key == QLatin1String("StartupWMClass"))
            parsed.entry.windowClass = value;
        else if (key == QLatin1String("Type"))
            type = value;
        else if (key == QLatin1String("NoDisplay") || key == QLatin1String("Hidden"))
            hidden |= value == QLatin1String("true");
    }
    if (!localeName.isEmpty())
        parsed.entry.name = localeName;
    else if (!languageName.isEmpty())
        parsed.entry.name = languageName;
    parsed.shown = type == QLatin1String("Application") && !hidden && !parsed.entry.name.isEmpty();
    return parsed;
}

// Every entry by id, the first folder's winning, hidden ones included so that
// they hide the system's.
QList<Parsed> all() {
    QList<Parsed> entries;
    QSet<QString> seen;
    for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        QDirIterator files(folder, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            // The id of applications/kde/x.desktop is kde-x.
            QString identifier = path.mid(folder.size() + 1);
            identifier.chop(8);
            identifier.replace(u'/', u'-');
            if (seen.contains(identifier))
                continue;
            seen.insert(identifier);
            entries.append(parse(path, identifier));
        }
    }
    return entries;
}

} // namespace

QList<DesktopEntry> installed() {
    QList<DesktopEntry> shown;
    for (const Parsed& parsed : all())
        if (parsed.shown)
            shown.append(parsed.entry);
    std::sort(shown.begin(), shown.end(), [](const DesktopEntry& a, const DesktopEntry& b) {
        return QString::localeAwareCompare(a.name, b.name) < 0;
    });
    return shown;
}

std::optional<DesktopEntry> find(const QString& identifier, const QList<DesktopEntry>& entries) {
    for (const DesktopEntry& entry : entries)
        if (entry.identifier.compare(identifier, Qt::CaseInsensitive) == 0)
            return entry;
    for (const DesktopEntry& entry : entries)
        if (!entry.windowClass.isEmpty() && entry.windowClass.compare(identifier, Qt::CaseInsensitive) == 0)
            return entry;
    return std::nullopt;
}

} // namespace velmora::DesktopEntries
