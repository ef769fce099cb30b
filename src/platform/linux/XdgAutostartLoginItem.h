#pragma once

#include "platform/LoginItemService.h"

#include <QString>
#include <QStringList>

namespace velmora {

// Launch at login as an XDG autostart entry, velmora.desktop in the user's
// autostart folder. Registered means the entry that the session would read
// (the user's own, else one installed system-wide) exists, is not hidden and
// starts this very program: an entry left by another copy (a deleted build,
// a moved install) is someone else's and gets replaced.
class XdgAutostartLoginItem final : public LoginItemService {
public:
    // The user's folder ($XDG_CONFIG_HOME/autostart), the system folders
    // ($XDG_CONFIG_DIRS/autostart) and the program to start.
    XdgAutostartLoginItem(QString userAutostartDir, QStringList systemAutostartDirs, QString executablePath);
    // The running program in the standard folders.
    static XdgAutostartLoginItem forCurrentUser();

    LoginItemStatus status() override;
    std::optional<Error> registerItem() override;
    std::optional<Error> unregisterItem() override;

    QString entryPath() const;
    static constexpr const char* entryFileName = "velmora.desktop";

    // The program path as one argument of a desktop entry's Exec key.
    static QString quoteExecArgument(const QString& argument);
    // Whether a desktop entry's text hides it from the session.
    static bool isHiddenEntry(const QByteArray& contents);
    // The program an Exec value starts, unquoted; empty when there is none.
    static QString execProgram(const QString& exec);

private:
    std::optional<Error> writeEntry(bool hidden);
    QString systemEntryPath() const;
    bool startsThisProgram(const QByteArray& contents) const;

    QString userDir_;
    QStringList systemDirs_;
    QString executablePath_;
};

} // namespace velmora
