#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>
#include <QWidget>

class QLabel;

namespace velmora {

// One symbol in one colour, size × size device-independent pixels, rendered
// afresh for the device pixel ratio of the screen it is painted on, so it is
// sharp on every screen.
class SymbolView final : public QWidget {
    Q_OBJECT

public:
    SymbolView(const QString& symbol, int size, QWidget* parent = nullptr);

    QString symbol() const { return symbol_; }
    int symbolSize() const { return size_; }
    void setSymbolSize(int size);
    QColor color() const { return color_; }
    void setColor(const QColor& color);

    // The symbol as the last paint drew it.
    const QPixmap& drawn() const { return drawn_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString symbol_;
    int size_;
    QColor color_;
    QPixmap drawn_;
};

// A heading: a symbol followed by text, the symbol at its intended size
// (larger only for a larger font) and drawn in the text's colour.
class SymbolLabel final : public QWidget {
    Q_OBJECT

public:
    SymbolLabel(const QString& symbol, const QFont& font, QWidget* parent = nullptr);

    QString symbol() const { return icon_->symbol(); }
    SymbolView* symbolView() const { return icon_; }
    QString text() const;
    void setText(const QString& text);
    QLabel* textLabel() const { return text_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void restyleSymbol();

    SymbolView* icon_;
    QLabel* text_;
};

} // namespace velmora
