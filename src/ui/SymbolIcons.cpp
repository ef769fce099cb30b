#include "ui/SymbolIcons.h"

#include <QFile>
#include <QHash>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cmath>

namespace velmora {

namespace {

const QHash<QString, QString>& themeNames() {
    // Only where a common theme name means the same picture.
    static const QHash<QString, QString> names = {
        {QStringLiteral("keyboard"), QStringLiteral("input-keyboard-symbolic")},
        {QStringLiteral("globe"), QStringLiteral("preferences-desktop-locale-symbolic")},
        {QStringLiteral("gearshape"), QStringLiteral("emblem-system-symbolic")},
        {QStringLiteral("arrow.clockwise"), QStringLiteral("view-refresh-symbolic")},
        {QStringLiteral("arrow.down.circle"), QStringLiteral("software-update-available-symbolic")},
    };
    return names;
}

QImage renderBundled(const QString& path, int pixels) {
    QSvgRenderer renderer(path);
    if (!renderer.isValid())
        return {};
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const QSizeF drawn = QSizeF(renderer.defaultSize()).scaled(QSizeF(pixels, pixels), Qt::KeepAspectRatio);
    QPainter painter(&image);
    renderer.render(&painter,
                    QRectF(QPointF((pixels - drawn.width()) / 2, (pixels - drawn.height()) / 2), drawn));
    return image;
}

QImage renderThemed(const QString& themeName, int pixels) {
    if (themeName.isEmpty() || !QIcon::hasThemeIcon(themeName))
        return {};
    // Asked for device pixels: the application's own ratio would double them again.
    const QPixmap found = QIcon::fromTheme(themeName).pixmap(QSize(pixels, pixels), 1.0);
    if (found.isNull())
        return {};
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const QSize drawn = found.size().scaled(pixels, pixels, Qt::KeepAspectRatio);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRect(QPoint((pixels - drawn.width()) / 2, (pixels - drawn.height()) / 2), drawn),
                       found);
    return image;
}

} // namespace

QImage SymbolIcons::tinted(QImage shape, const QColor& color) {
    QPainter painter(&shape);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(shape.rect(), color);
    return shape;
}

QStringList SymbolIcons::names() {
    return {QStringLiteral("keyboard"),
            QStringLiteral("globe"),
            QStringLiteral("arrow.left.arrow.right"),
            QStringLiteral("gearshape"),
            QStringLiteral("wrench.and.screwdriver"),
            QStringLiteral("arrow.down.circle"),
            QStringLiteral("arrow.clockwise"),
            QStringLiteral("target"),
            QStringLiteral("hand.raised")};
}

QString SymbolIcons::themeName(const QString& name) {
    return themeNames().value(name);
}

QString SymbolIcons::resourcePath(const QString& name) {
    if (!names().contains(name))
        return {};
    return QStringLiteral(":/symbols/%1.svg").arg(name);
}

QPixmap SymbolIcons::pixmap(const QString& name, int size, const QColor& color, qreal devicePixelRatio) {
    const QString path = resourcePath(name);
    if (path.isEmpty() || size <= 0)
        return {};
    const int pixels = static_cast<int>(std::ceil(size * devicePixelRatio));
    QImage image = renderThemed(themeName(name), pixels);
    if (image.isNull())
        image = renderBundled(path, pixels);
    if (image.isNull())
        return {};
    QPixmap result = QPixmap::fromImage(SymbolIcons::tinted(image, color));
    result.setDevicePixelRatio(devicePixelRatio);
    return result;
}

} // namespace velmora
