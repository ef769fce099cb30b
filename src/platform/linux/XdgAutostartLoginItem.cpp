#include "platform/linux/XdgAutostartLoginItem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace velmora {

namespace {

const QString errorDomain = QStringLiteral("VelmoraLoginItem");

Error fileError(int code, const QString& what, const QString& path, const QString& reason) {
    return {errorDomain, code, QStringLiteral("%1 %2: %3").arg(what, path, reason)};
}

bool isTrue(const QByteArray& value) { return value.trimmed().toLower() == "true"; }

} // namespace

XdgAutostartLoginItem::XdgAutostartLoginItem(QString userAutostartDir, QStringList systemAutostartDirs,
                                             QString executablePath)
    : userDir_(std::move(userAutostartDir)), systemDirs_(std::move(systemAutostartDirs)),
      executablePath_(std::move(executablePath)) {}

XdgAutostartLoginItem XdgAutostartLoginItem::forCurrentUser() {
    const QString configHome = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QStringList systemDirs;
    const QString configDirs = qEnvironmentVariable("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
    for (const QString& dir : configDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        systemDirs.append(QDir(dir).filePath(QStringLiteral("autostart")));
    return {QDir(configHome).filePath(QStringLiteral("autostart")), systemDirs,
            QCoreApplication::applicationFilePath()};
}

QString XdgAutostartLoginItem::entryPath() const {
    return QDir(userDir_).filePath(QString::fromLatin1(entryFileName));
}

QString XdgAutostartLoginItem::systemEntryPath() const {
    for (const QString& dir : systemDirs_) {
        const QString path = QDir(dir).filePath(QString::fromLatin1(entryFileName));
        if (QFileInfo::exists(path))
            return path;
    }
    return {};
}

bool XdgAutostartLoginItem::isHiddenEntry(const QByteArray& contents) {
    bool inEntryGroup = false;
    for (const QByteArray& rawLine : contents.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.startsWith('[')) {
            inEntryGroup = line == "[Desktop Entry]";
            continue;
        }
        if (!inEntryGroup || line.startsWith('#'))
            continue;
        const qsizetype equals = line.indexOf('=');
        if (equals < 0)
            continue;
        const QByteArray key = line.left(equals).trimmed();
        const QByteArray value = line.mid(equals + 1);
        // Desktops switch an entry off with Hidden=true; GNOME also with its own key.
        if ((key == "Hidden" && isTrue(value)) || (key == "X-GNOME-Autostart-enabled" && !isTrue(value)))
            return true;
    }
    return false;
}

LoginItemStatus XdgAutostartLoginItem::status() {
    QString path = entryPath();
    if (!QFileInfo::exists(path))
        path = systemEntryPath();
    if (path.isEmpty())
        return LoginItemStatus::notRegistered;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return LoginItemStatus::notFound;
    return isHiddenEntry(file.readAll()) ? LoginItemStatus::notRegistered : LoginItemStatus::enabled;
}

QString XdgAutostartLoginItem::quoteExecArgument(const QString& argument) {
    // Quoting rules of the desktop entry format: inside double quotes, " ` $
    // and \ take a backslash; then the string escape doubles every
    // backslash, and a literal % is written %%.
    QString quoted;
    for (const QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    quoted.replace(QLatin1String("%"), QLatin1String("%%"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

std::optional<Error> XdgAutostartLoginItem::writeEntry(bool hidden) {
    if (!QDir().mkpath(userDir_))
        return fileError(1, QStringLiteral("Could not create"), userDir_, QStringLiteral("permission denied or not a folder"));
    QSaveFile file(entryPath());
    if (!file.open(QIODevice::WriteOnly))
        return fileError(2, QStringLiteral("Could not write"), entryPath(), file.errorString());
    QByteArray text = "[Desktop Entry]\n"
                      "Type=Application\n"
                      "Name=Velmora\n"
                      "Comment=English layout while a shortcut modifier is held\n";
    text += "Exec=" + quoteExecArgument(executablePath_).toUtf8() + "\n";
    text += "Icon=velmora\nTerminal=false\nX-GNOME-Autostart-enabled=true\n";
    if (hidden)
        text += "Hidden=true\n";
    file.write(text);
    if (!file.commit())
        return fileError(3, QStringLiteral("Could not write"), entryPath(), file.errorString());
    return std::nullopt;
}

std::optional<Error> XdgAutostartLoginItem::registerItem() { return writeEntry(false); }

std::optional<Error> XdgAutostartLoginItem::unregisterItem() {
    // An entry installed system-wide can only be hidden by a user entry.
    if (!systemEntryPath().isEmpty())
        return writeEntry(true);
    QFile file(entryPath());
    if (file.exists() && !file.remove())
        return fileError(4, QStringLiteral("Could not remove"), entryPath(), file.errorString());
    return std::nullopt;
}

} // namespace velmora
