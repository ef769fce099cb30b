#include "app/QtPlatformChoice.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QPluginLoader>

namespace velmora {

namespace {

bool isWaylandSession(const QProcessEnvironment& environment) {
    return !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty() ||
           environment.value(QStringLiteral("XDG_SESSION_TYPE"))
                   .compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0;
}

// Whether the session offers what the plugin connects to.
bool canStart(const QString& plugin, const QProcessEnvironment& environment, const QStringList& installed) {
    const QString key = plugin.section(QLatin1Char(':'), 0, 0).trimmed().toLower();
    if (!installed.contains(key))
        return false;
    if (key == QLatin1String("xcb"))
        return !environment.value(QStringLiteral("DISPLAY")).isEmpty();
    if (key.startsWith(QLatin1String("wayland"))) {
        // A terminal can outlive its compositor and keep a stale name.
        const QString name = environment.value(QStringLiteral("WAYLAND_DISPLAY"));
        const QString socket =
            QDir::isAbsolutePath(name)
                ? name
                : QDir(environment.value(QStringLiteral("XDG_RUNTIME_DIR"))).filePath(name);
        return !name.isEmpty() && QFileInfo::exists(socket);
    }
    return true;
}

} // namespace

QtPlatformChoice QtPlatformChoice::choose(const QProcessEnvironment& environment,
                                          const QStringList& installed) {
    QStringList wanted =
        environment.value(QStringLiteral("QT_QPA_PLATFORM")).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (wanted.isEmpty()) {
        if (isWaylandSession(environment))
            wanted.append(QStringLiteral("wayland"));
        wanted.append(QStringLiteral("xcb"));
    }
    QStringList startable;
    for (const QString& plugin : wanted)
        if (canStart(plugin, environment, installed))
            startable.append(plugin);
    if (!startable.isEmpty())
        return {startable.join(QLatin1Char(';')), {}};

    QtPlatformChoice choice;
    if (environment.value(QStringLiteral("DISPLAY")).isEmpty() && !isWaylandSession(environment))
        choice.problem = QStringLiteral("No display: Velmora runs inside a desktop session "
                                        "(velmora --demo shows the switching without one)");
    else if (isWaylandSession(environment) && !installed.contains(QLatin1String("wayland")))
        choice.problem =
            QStringLiteral("Cannot open a window on this Wayland session: Qt's Wayland platform "
                           "plugin is not installed (Debian and Ubuntu: the qt6-wayland package)");
    else
        choice.problem =
            QStringLiteral("Cannot open a window: none of the Qt platform plugins %1 can start here")
                .arg(wanted.join(QLatin1String(", ")));
    return choice;
}

QStringList QtPlatformChoice::installedPlugins() {
    QStringList folders = QCoreApplication::libraryPaths();
    folders.append(QLibraryInfo::path(QLibraryInfo::PluginsPath));
    folders += qEnvironmentVariable("QT_PLUGIN_PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    QStringList keys;
    for (const QString& folder : folders) {
        const QDir platforms(QDir(folder).filePath(QStringLiteral("platforms")));
        for (const QString& file : platforms.entryList(QDir::Files)) {
            // The metadata is read without loading the library.
            const QJsonObject meta = QPluginLoader(platforms.filePath(file)).metaData();
            for (const QJsonValue& key :
                 meta.value(QLatin1String("MetaData")).toObject().value(QLatin1String("Keys")).toArray())
                keys.append(key.toString().toLower());
        }
    }
    keys.removeDuplicates();
    return keys;
}

} // namespace velmora
