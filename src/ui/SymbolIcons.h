#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QStringList>

namespace velmora {

// Velmora's monochrome symbols by their design names ("keyboard", "globe",
// "target", …). The desktop's icon theme supplies a symbol when it has a
// fitting symbolic icon; otherwise Velmora's own drawing is used. Either way
// the symbol is drawn in one colour, so it matches the text beside it.
class SymbolIcons {
public:
    SymbolIcons() = delete;

    // The size, in device-independent pixels, a symbol beside a heading is
    // drawn at: as tall as the heading's capitals and a half, and large
    // enough that the strokes of the drawings (made on a 24-pixel grid) stay
    // wider than a pixel.
    static constexpr int intendedSize = 20;

    // Every name Velmora draws itself.
    static QStringList names();
    // The freedesktop icon name tried first, or an empty string.
    static QString themeName(const QString& name);
    // The bundled drawing's resource path, or an empty string.
    static QString resourcePath(const QString& name);

    // The symbol fitted into size × size device-independent pixels, keeping
    // its aspect ratio, in the given colour, rendered for the device pixel
    // ratio (a pixmap of that ratio); null for an unknown name.
    static QPixmap pixmap(const QString& name, int size, const QColor& color, qreal devicePixelRatio = 1.0);
    // The shape in one colour, as a desktop paints its symbolic icons; its
    // alpha is kept, so a colour with alpha fades it.
    static QImage tinted(QImage shape, const QColor& color);
};

} // namespace velmora
