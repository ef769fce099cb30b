#include "platform/linux/XdgAutostartLoginItem.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

QByteArray read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) >= 0) << path.toStdString();
}

struct EntryCase {
    const char* user;   // the Exec value and the lines after it; null: no user entry
    const char* system; // likewise for the entry installed system-wide
    bool registered;
};

// $EXEC starts this program, $OTHER another copy of it.
const EntryCase entryCases[] = {
    {"$EXEC", nullptr, true},
    {"$EXEC --flag %U", nullptr, true},
    {"velmora", nullptr, true}, // found in PATH
    {"$EXEC\nHidden=true", nullptr, false},
    {"$EXEC\nHidden = TRUE ", nullptr, false},
    {"$EXEC\nX-GNOME-Autostart-enabled=false", nullptr, false},
    {"$EXEC\n# Hidden=true\n[Desktop Action x]\nHidden=true", nullptr, true},
    {"$OTHER", nullptr, false},
    {"/gone/velmora", nullptr, false},
    {"\"$DIR/velmora", nullptr, false}, // an unterminated quote
    {"", nullptr, false},
    {nullptr, "$EXEC", true},
    {nullptr, "$OTHER", false},
    {"$OTHER", "$EXEC", false},
};

// Registered: the entry the session reads starts this very program and is not hidden. Registering writes
// one that does; unregistering removes it, or hides an entry installed system-wide.
TEST(XdgAutostartLoginItemTest, theEntryTheSessionReadsDecidesAndRegisteringFixesIt) {
    const QByteArray path = qgetenv("PATH");
    for (const EntryCase& row : entryCases) {
        SCOPED_TRACE(std::string(row.user ? row.user : "-") + " / " + (row.system ? row.system : "-"));
        QTemporaryDir root;
        const QString program = root.filePath("My $Apps 100%/velmora"),
                      other = root.filePath("build/velmora");
        for (const QString& executable : {program, other}) {
            write(executable, "#!/bin/sh\n");
            QFile::setPermissions(executable, QFile::ReadOwner | QFile::ExeOwner);
        }
        const QByteArray exec = "\nExec=" + XdgAutostartLoginItem::quoteExecArgument(program).toUtf8() + "\n";
        const auto entry = [&](QByteArray text) {
            return "[Desktop Entry]\nType=Application\nExec=" +
                   text.replace("$EXEC", exec.mid(6).chopped(1))
                       .replace("$OTHER", XdgAutostartLoginItem::quoteExecArgument(other).toUtf8())
                       .replace("$DIR", QFileInfo(program).path().toUtf8()) +
                   "\n";
        };
        XdgAutostartLoginItem item(root.filePath("user"), {root.filePath("etc")}, program);
        if (row.user)
            write(item.entryPath(), entry(row.user));
        if (row.system)
            write(root.filePath("etc/velmora.desktop"), entry(row.system));
        qputenv("PATH", QFileInfo(program).path().toUtf8());
        EXPECT_EQ(item.status(), row.registered ? LoginItemStatus::enabled : LoginItemStatus::notRegistered);
        qputenv("PATH", path);
        EXPECT_FALSE(item.registerItem().has_value());
        EXPECT_TRUE(item.status() == LoginItemStatus::enabled && read(item.entryPath()).contains(exec));
        EXPECT_FALSE(item.unregisterItem().has_value());
        EXPECT_EQ(item.status(), LoginItemStatus::notRegistered);
        EXPECT_EQ(read(item.entryPath()).contains("\nHidden=true\n"), row.system != nullptr);
    }
}

TEST(XdgAutostartLoginItemTest, aFileWhereTheFolderShouldBeFailsWithTheFolderNamed) {
    QTemporaryDir root;
    write(root.filePath("user"), "not a folder");
    XdgAutostartLoginItem item(root.filePath("user/autostart"), {}, root.filePath("velmora"));
    const auto error = item.registerItem();
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->fullDescription().startsWith("Error Domain=VelmoraLoginItem Code="));
    EXPECT_TRUE(error->localizedDescription.contains(root.filePath("user/autostart")));
}

TEST(XdgExecQuoting, reservedCharactersAreEscapedTwiceAndPercentDoubled) {
    for (const auto& [argument, quoted] : {std::pair{"/usr/bin/velmora", R"("/usr/bin/velmora")"},
                                           {R"(/a b/$x`y"z)", R"("/a b/\\$x\\`y\\"z")"},
                                           {R"(/c\d/100%)", R"("/c\\\\d/100%%")"}})
        EXPECT_EQ(XdgAutostartLoginItem::quoteExecArgument(argument).toStdString(), quoted);
}

} // namespace
