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
    XdgAutostartLoginItem item() const {
        return {root.filePath(QStringLiteral("user/autostart")), {root.filePath(QStringLiteral("etc/autostart"))},
                QStringLiteral("/opt/My Apps/velmora")};
    }
    static QByteArray read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void write(const QString& path, const QByteArray& text) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QTemporaryDir root;
};

TEST_F(XdgAutostartLoginItemTest, RegisterWritesAnEntryThatStartsThisProgram) {
    auto login = item();
    EXPECT_EQ(login.status(), LoginItemStatus::notRegistered);
    EXPECT_FALSE(login.registerItem().has_value());
    EXPECT_EQ(login.status(), LoginItemStatus::enabled);
    const QByteArray entry = read(login.entryPath());
    EXPECT_TRUE(entry.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(entry.contains("\nType=Application\n"));
    EXPECT_TRUE(entry.contains("\nExec=\"/opt/My Apps/velmora\"\n"));
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
    write(login.entryPath(), "[Desktop Entry]\nExec=velmora\nHidden=true\n");
    EXPECT_EQ(login.status(), LoginItemStatus::notRegistered);
    write(login.entryPath(), "[Desktop Entry]\nExec=velmora\nX-GNOME-Autostart-enabled=false\n");
    EXPECT_EQ(login.status(), LoginItemStatus::notRegistered);
    // Keys of other groups and comments do not count.
    write(login.entryPath(), "[Desktop Entry]\nExec=velmora\n# Hidden=true\n[Desktop Action x]\nHidden=true\n");
    EXPECT_EQ(login.status(), LoginItemStatus::enabled);
    write(login.entryPath(), "[Desktop Entry]\nHidden = TRUE \n");
    EXPECT_EQ(login.status(), LoginItemStatus::notRegistered);
}

TEST_F(XdgAutostartLoginItemTest, SystemEntryIsHiddenByAUserEntryRatherThanLeftRunning) {
    auto login = item();
    write(root.filePath(QStringLiteral("etc/autostart/velmora.desktop")), "[Desktop Entry]\nExec=velmora\n");
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
