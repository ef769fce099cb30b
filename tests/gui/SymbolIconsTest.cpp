#include "ui/SymbolIcons.h"

#include <QFile>
#include <QIcon>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

// Drawn pixels, empty pixels, and drawn pixels of another colour.
std::array<int, 3> coverage(const QPixmap& pixmap, const QColor& colour) {
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    std::array<int, 3> result{};
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            ++result[pixel.alpha() == 0 ? 1 : 0];
            // Faint edge pixels lose precision to premultiplied alpha.
            const int tolerance = pixel.alpha() == 255 ? 0 : 3 * 255 / qMax(1, pixel.alpha());
            result[2] += pixel.alpha() > 0 && (qAbs(pixel.red() - colour.red()) > tolerance ||
                                               qAbs(pixel.green() - colour.green()) > tolerance ||
                                               qAbs(pixel.blue() - colour.blue()) > tolerance);
        }
    return result;
}

// Velmora's line drawings in one colour, and a theme's symbol where the
// theme has one: here a filled keyboard square, but no globe.
TEST(SymbolIcons, OwnDrawingsOrTheThemesSymbolInOneColour) {
    const QColor colour(200, 30, 40);
    for (const QString& name : SymbolIcons::names()) {
        const auto [opaque, transparent, offColour] = coverage(SymbolIcons::pixmap(name, 24, colour), colour);
        EXPECT_GT(opaque, 24 * 24 / 10) << name.toStdString();
        EXPECT_GT(transparent, 24 * 24 / 4) << name.toStdString();
        EXPECT_EQ(offColour, 0) << name.toStdString();
        const QString themed = SymbolIcons::themeName(name);
        EXPECT_TRUE(themed.isEmpty() || themed.endsWith(QStringLiteral("-symbolic"))) << name.toStdString();
    }
    EXPECT_EQ(SymbolIcons::pixmap(QStringLiteral("globe"), 16, Qt::black, 2.0).deviceIndependentSize(),
              QSizeF(16, 16));
    EXPECT_TRUE(SymbolIcons::pixmap(QStringLiteral("trash"), 24, Qt::black).isNull());
    EXPECT_TRUE(SymbolIcons::pixmap(QStringLiteral("globe"), 0, Qt::black).isNull());

    QTemporaryDir themes;
    QDir root(themes.path());
    ASSERT_TRUE(root.mkpath(QStringLiteral("Test/scalable/devices")));
    const auto write = [&](const char* path, const char* content) {
        QFile file(root.filePath(QString::fromLatin1(path)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    };
    write("Test/index.theme", "[Icon Theme]\nName=Test\nDirectories=scalable/devices\n\n"
                              "[scalable/devices]\nSize=16\nMinSize=8\nMaxSize=512\nType=Scalable\n");
    write(
        "Test/scalable/devices/input-keyboard-symbolic.svg",
        R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16"><rect width="16" height="16"/></svg>)");
    const QStringList previousPaths = QIcon::themeSearchPaths();
    const QString previousTheme = QIcon::themeName();
    QIcon::setThemeSearchPaths({themes.path()});
    QIcon::setThemeName(QStringLiteral("Test"));
    const auto keyboard = coverage(SymbolIcons::pixmap(QStringLiteral("keyboard"), 24, colour), colour);
    const auto globe = coverage(SymbolIcons::pixmap(QStringLiteral("globe"), 24, colour), colour);
    QIcon::setThemeSearchPaths(previousPaths);
    QIcon::setThemeName(previousTheme);
    EXPECT_EQ(keyboard[1], 0) << "the theme's filled square, not the bundled outline";
    EXPECT_EQ(keyboard[2], 0);
    EXPECT_GT(globe[1], 0);
}

} // namespace
