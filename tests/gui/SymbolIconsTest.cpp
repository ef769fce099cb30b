#include "ui/SymbolIcons.h"

#include <QFile>
#include <QIcon>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

struct Coverage {
    int opaque = 0;
    int transparent = 0;
    int offColour = 0;
};

// Counts the drawn and the empty pixels, and drawn pixels of another colour.
Coverage coverage(const QPixmap& pixmap, const QColor& colour) {
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    Coverage result;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() == 0) {
                ++result.transparent;
                continue;
            }
            ++result.opaque;
            // Faint edge pixels lose precision to premultiplied alpha.
            const int tolerance = pixel.alpha() == 255 ? 0 : 3 * 255 / pixel.alpha();
            if (qAbs(pixel.red() - colour.red()) > tolerance ||
                qAbs(pixel.green() - colour.green()) > tolerance ||
                qAbs(pixel.blue() - colour.blue()) > tolerance)
                ++result.offColour;
        }
    return result;
}

TEST(SymbolIcons, EverySymbolHasItsOwnDrawingInOneColour) {
    const QColor colour(200, 30, 40);
    ASSERT_EQ(SymbolIcons::names().size(), 9);
    for (const QString& name : SymbolIcons::names()) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(QFile::exists(SymbolIcons::resourcePath(name)));
        const QPixmap pixmap = SymbolIcons::pixmap(name, 24, colour);
        ASSERT_FALSE(pixmap.isNull());
        EXPECT_EQ(pixmap.size(), QSize(24, 24));
        const Coverage drawn = coverage(pixmap, colour);
        // A line drawing: a fair share of the square, never all of it.
        EXPECT_GT(drawn.opaque, 24 * 24 / 10);
        EXPECT_GT(drawn.transparent, 24 * 24 / 4);
        EXPECT_EQ(drawn.offColour, 0);
    }
}

TEST(SymbolIcons, SymbolsAreDrawnAtTheScreensPixelDensity) {
    const QPixmap pixmap = SymbolIcons::pixmap(QStringLiteral("globe"), 16, Qt::black, 2.0);
    EXPECT_EQ(pixmap.size(), QSize(32, 32));
    EXPECT_EQ(pixmap.deviceIndependentSize(), QSizeF(16, 16));
    const QPixmap large = SymbolIcons::pixmap(QStringLiteral("target"), 96, Qt::black);
    EXPECT_EQ(large.size(), QSize(96, 96));
}

TEST(SymbolIcons, UnknownNamesAndEmptySizesGiveNothing) {
    EXPECT_TRUE(SymbolIcons::pixmap(QStringLiteral("trash"), 24, Qt::black).isNull());
    EXPECT_TRUE(SymbolIcons::pixmap(QString(), 24, Qt::black).isNull());
    EXPECT_TRUE(SymbolIcons::pixmap(QStringLiteral("globe"), 0, Qt::black).isNull());
    EXPECT_TRUE(SymbolIcons::resourcePath(QStringLiteral("trash")).isEmpty());
}

class ThemedSymbols : public ::testing::Test {
protected:
    void SetUp() override {
        previousPaths = QIcon::themeSearchPaths();
        previousTheme = QIcon::themeName();
        ASSERT_TRUE(themes.isValid());
        // A theme whose keyboard is a filled square, unlike Velmora's drawing.
        QDir root(themes.path());
        ASSERT_TRUE(root.mkpath(QStringLiteral("Test/scalable/devices")));
        write(root.filePath(QStringLiteral("Test/index.theme")),
              "[Icon Theme]\nName=Test\nDirectories=scalable/devices\n\n"
              "[scalable/devices]\nSize=16\nMinSize=8\nMaxSize=512\nType=Scalable\n");
        write(root.filePath(QStringLiteral("Test/scalable/devices/input-keyboard-symbolic.svg")),
              "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16\" height=\"16\">"
              "<rect width=\"16\" height=\"16\" fill=\"#000\"/></svg>\n");
        QIcon::setThemeSearchPaths({themes.path()});
        QIcon::setThemeName(QStringLiteral("Test"));
    }
    void TearDown() override {
        QIcon::setThemeSearchPaths(previousPaths);
        QIcon::setThemeName(previousTheme);
    }
    static void write(const QString& path, const char* content) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QTemporaryDir themes;
    QStringList previousPaths;
    QString previousTheme;
};

TEST_F(ThemedSymbols, TheThemesSymbolIsUsedWhereItHasOneInTheSameColour) {
    ASSERT_TRUE(QIcon::hasThemeIcon(SymbolIcons::themeName(QStringLiteral("keyboard"))));
    const QColor colour(10, 120, 220);
    const Coverage keyboard = coverage(SymbolIcons::pixmap(QStringLiteral("keyboard"), 24, colour), colour);
    EXPECT_EQ(keyboard.transparent, 0) << "the theme's filled square, not the bundled outline";
    EXPECT_EQ(keyboard.offColour, 0);

    // The theme has no globe: Velmora's own drawing stands in.
    const Coverage globe = coverage(SymbolIcons::pixmap(QStringLiteral("globe"), 24, colour), colour);
    EXPECT_GT(globe.transparent, 0);
    EXPECT_GT(globe.opaque, 0);
}

TEST(SymbolIconsThemeNames, OnlyFittingThemeIconsAreNamed) {
    EXPECT_EQ(SymbolIcons::themeName(QStringLiteral("keyboard")), QStringLiteral("input-keyboard-symbolic"));
    EXPECT_EQ(SymbolIcons::themeName(QStringLiteral("arrow.clockwise")),
              QStringLiteral("view-refresh-symbolic"));
    for (const QString& name :
         {QStringLiteral("target"), QStringLiteral("hand.raised"), QStringLiteral("wrench.and.screwdriver"),
          QStringLiteral("arrow.left.arrow.right")})
        EXPECT_TRUE(SymbolIcons::themeName(name).isEmpty()) << name.toStdString();
    for (const QString& name : SymbolIcons::names()) {
        const QString themed = SymbolIcons::themeName(name);
        EXPECT_TRUE(themed.isEmpty() || themed.endsWith(QStringLiteral("-symbolic"))) << name.toStdString();
    }
}

} // namespace
