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

namespace {

// The keys of the [Desktop Entry] group, comments and other groups left out.
QList<std::pair<QByteArray, QByteArray>> entryKeys(const QByteArray& contents) {
    QList<std::pair<QByteArray, QByteArray>> keys;
    bool inEntryGroup = false;
    for (const QByteArray& rawLine : contents.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.startsWith('[')) {
            inEntryGroup = line == "[Desktop Entry]";
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (inEntryGroup && !line.startsWith('#') && equals >= 0)
            keys.append({line.left(equals).trimmed(), line.mid(equals + 1).trimmed()});
    }
    return keys;
}

} // namespace

bool XdgAutostartLoginItem::isHiddenEntry(const QByteArray& contents) {
    for (const auto& [key, value] : entryKeys(contents)) {
        // Desktops switch an entry off with Hidden=true; GNOME also with its own key.
        if ((key == "Hidden" && isTrue(value)) || (key == "X-GNOME-Autostart-enabled" && !isTrue(value)))
            return true;
    }
    return false;
}

QString XdgAutostartLoginItem::execProgram(const QString& exec) {
    // The string escapes of the entry format first, then the quoting of the
    // Exec key: the reverse of quoteExecArgument.
    QString text;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        QChar c = exec.at(i);
        if (c == QLatin1Char('\\') && i + 1 < exec.size()) {
            c = exec.at(++i);
            c = c == QLatin1Char('s') ? QChar(QLatin1Char(' ')) : c == QLatin1Char('t') ? QChar(QLatin1Char('\t')) : c;
        }
        text += c;
    }
    text = text.trimmed();
    QString program;
    if (!text.startsWith(QLatin1Char('"'))) {
        program = text.section(QLatin1Char(' '), 0, 0);
    } else {
        qsizetype i = 1;
        for (; i < text.size() && text.at(i) != QLatin1Char('"'); ++i) {
            if (text.at(i) == QLatin1Char('\\') && i + 1 < text.size())
                ++i;
            program += text.at(i);
        }
        if (i == text.size())
            return {};
    }
    return program.replace(QLatin1String("%%"), QLatin1String("%"));
}

bool XdgAutostartLoginItem::startsThisProgram(const QByteArray& contents) const {
    QString exec;
    for (const auto& [key, value] : entryKeys(contents))
        if (key == "Exec")
            exec = QString::fromUtf8(value);
    QString program = execProgram(exec);
    // A bare name is looked up in PATH, as the session would.
    if (!program.isEmpty() && !program.contains(QLatin1Char('/')))
        program = QStandardPaths::findExecutable(program);
    const QString target = QFileInfo(program).canonicalFilePath();
    return !target.isEmpty() && target == QFileInfo(executablePath_).canonicalFilePath();
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
    const QByteArray contents = file.readAll();
    return !isHiddenEntry(contents) && startsThisProgram(contents) ? LoginItemStatus::enabled
                                                                   : LoginItemStatus::notRegistered;
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
