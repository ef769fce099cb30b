#include "platform/linux/XdgAutostartLoginItem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

class XdgAutostartLoginItemTest : public ::testing::Test {
protected:
    // The running program, at a path that needs quoting in an Exec key.
    void SetUp() override { program = executable(QStringLiteral("My $Apps 100%/velmora")); }
    XdgAutostartLoginItem item() const {
        return {root.filePath(QStringLiteral("user/autostart")), {root.filePath(QStringLiteral("etc/autostart"))},
                program};
    }
    QString executable(const QString& relativePath) const {
        const QString path = root.filePath(relativePath);
        write(path, "#!/bin/sh\n");
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
        return path;
    }
    QByteArray entry(const QString& exec, const QByteArray& more = {}) const {
        return "[Desktop Entry]\nType=Application\nExec=" + exec.toUtf8() + "\n" + more;
    }
    static QByteArray read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void write(const QString& path, const QByteArray& text) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        file.write(text);
    }
    QTemporaryDir root;
    QString program;
};

TEST_F(XdgAutostartLoginItemTest, RegisterWritesAnEntryThatStartsThisProgram) {
    auto login = item();
    EXPECT_EQ(login.status(), LoginItemStatus::notRegistered);
    EXPECT_FALSE(login.registerItem().has_value());
    EXPECT_EQ(login.status(), LoginItemStatus::enabled);
    const QByteArray entry = read(login.entryPath());
    EXPECT_TRUE(entry.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(entry.contains("\nType=Application\n"));
    EXPECT_TRUE(entry.contains("\nExec=" + XdgAutostartLoginItem::quoteExecArgument(program).toUtf8() + "\n"));
    EXPECT_FALSE(entry.contains("Hidden"));
    // Registering again rewrites the same entry.
    EXPECT_FALSE(login.registerItem().has_value());
    EXPECT_EQ(read(login.entryPath()), entry);
}

TEST_F(XdgAutostartLoginItemTest, UnregisterRemovesTheEntryAndIsHarmlessWhenAbsent) {
    auto login = item();
    ASSERT_FALSE(login.registerItem().has_value());
    EXPECT_FALSE(login.unregisterItem().has_value());
    EXPECT_FALSE(QFileInfo::exists(login.entryPath()));
    EXPECT_EQ(login.status(), LoginItemStatus::notRegistered);
    EXPECT_FALSE(login.unregisterItem().has_value());
}

TEST_F(XdgAutostartLoginItemTest, EntriesSwitchedOffByTheDesktopCountAsNotRegistered) {
    auto login = item();
    const QString exec = XdgAutostartLoginItem::quoteExecArgument(program);
    write(login.entryPath(), entry(exec, "Hidden=true\n"));
    EXPECT_EQ(login.status(), LoginItemStatus::notRegistered);
    write(login.entryPath(), entry(exec, "X-GNOME-Autostart-enabled=false\n"));
    EXPECT_EQ(login.status(), LoginItemStatus::notRegistered);
    // Keys of other groups and comments do not count.
    write(login.entryPath(), entry(exec, "# Hidden=true\n[Desktop Action x]\nHidden=true\n"));
    EXPECT_EQ(login.status(), LoginItemStatus::enabled);
    write(login.entryPath(), entry(exec, "Hidden = TRUE \n"));
    EXPECT_EQ(login.status(), LoginItemStatus::notRegistered);
}

TEST_F(XdgAutostartLoginItemTest, OnlyAnEntryThatStartsThisProgramIsItsRegistration) {
    const QString other = executable(QStringLiteral("build/velmora"));
    const QString link = root.filePath(QStringLiteral("link-to-velmora"));
    ASSERT_TRUE(QFile::link(program, link));
    const QByteArray previousPath = qgetenv("PATH");
    qputenv("PATH", QFileInfo(program).absolutePath().toUtf8());
    const std::pair<QString, bool> cases[] = {
        {XdgAutostartLoginItem::quoteExecArgument(program), true},
        {XdgAutostartLoginItem::quoteExecArgument(program) + QStringLiteral(" --flag %U"), true},
        {XdgAutostartLoginItem::quoteExecArgument(link), true},
        {QStringLiteral("velmora"), true}, // found in PATH
        {link + QStringLiteral(" --flag"), true},
        {XdgAutostartLoginItem::quoteExecArgument(other), false},           // another copy
        {root.filePath(QStringLiteral("gone/velmora")), false},              // deleted build
        {QStringLiteral("\"") + program, false},                           // unterminated quote
        {QStringLiteral("velmora-missing"), false},
        {QString(), false},
    };
    auto login = item();
    for (const auto& [exec, registered] : cases) {
        write(login.entryPath(), entry(exec));
        EXPECT_EQ(login.status(), registered ? LoginItemStatus::enabled : LoginItemStatus::notRegistered)
            << exec.toStdString();
        if (!registered) {
            // Registering replaces the stale entry with one that starts this program.
            EXPECT_FALSE(login.registerItem().has_value());
            EXPECT_EQ(login.status(), LoginItemStatus::enabled) << exec.toStdString();
        }
    }
    // A stale system-wide entry is overridden by the user's own.
    QFile::remove(login.entryPath());
    write(root.filePath(QStringLiteral("etc/autostart/velmora.desktop")), entry(other));
    EXPECT_EQ(login.status(), LoginItemStatus::notRegistered);
    qputenv("PATH", previousPath);
}

TEST_F(XdgAutostartLoginItemTest, SystemEntryIsHiddenByAUserEntryRatherThanLeftRunning) {
    auto login = item();
    write(root.filePath(QStringLiteral("etc/autostart/velmora.desktop")),
          entry(XdgAutostartLoginItem::quoteExecArgument(program)));
    EXPECT_EQ(login.status(), LoginItemStatus::enabled);
    EXPECT_FALSE(login.unregisterItem().has_value());
    EXPECT_EQ(login.status(), LoginItemStatus::notRegistered);
    EXPECT_TRUE(read(login.entryPath()).contains("\nHidden=true\n"));
    EXPECT_FALSE(login.registerItem().has_value());
    EXPECT_EQ(login.status(), LoginItemStatus::enabled);
}

TEST_F(XdgAutostartLoginItemTest, FileWhereTheFolderShouldBeFailsWithAClearError) {
    write(root.filePath(QStringLiteral("user")), "not a folder");
    auto login = item();
    const auto error = login.registerItem();
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->domain, QStringLiteral("VelmoraLoginItem"));
    EXPECT_TRUE(error->localizedDescription.contains(root.filePath(QStringLiteral("user/autostart"))))
        << error->localizedDescription.toStdString();
    EXPECT_EQ(login.status(), LoginItemStatus::notRegistered);
}

TEST_F(XdgAutostartLoginItemTest, EntryThatIsAFolderCannotBeWrittenAndSaysWhy) {
    auto login = item();
    QDir().mkpath(login.entryPath());
    const auto error = login.registerItem();
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->fullDescription().startsWith(QStringLiteral("Error Domain=VelmoraLoginItem Code=")));
    EXPECT_TRUE(error->localizedDescription.contains(login.entryPath()));
}

TEST(XdgExecQuoting, ReservedCharactersAreEscapedTwice) {
    EXPECT_EQ(XdgAutostartLoginItem::quoteExecArgument(QStringLiteral("/usr/bin/velmora")),
              QStringLiteral("\"/usr/bin/velmora\""));
    EXPECT_EQ(XdgAutostartLoginItem::quoteExecArgument(QStringLiteral("/a b/$x`y\"z")),
              QStringLiteral("\"/a b/\\\\$x\\\\`y\\\\\"z\""));
    EXPECT_EQ(XdgAutostartLoginItem::quoteExecArgument(QStringLiteral("/c\\d/100%")),
              QStringLiteral("\"/c\\\\\\\\d/100%%\""));
}

} // namespace
