#include "ui/SymbolLabel.h"

#include "ui/SymbolIcons.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPaintEngine>
#include <QPainter>

namespace velmora {

SymbolView::SymbolView(const QString& symbol, int size, QWidget* parent)
    : QWidget(parent), symbol_(symbol), size_(size), color_(palette().color(QPalette::WindowText)) {
    setFixedSize(size, size);
}

void SymbolView::setSymbolSize(int size) {
    if (size == size_)
        return;
    size_ = size;
    drawn_ = {};
    setFixedSize(size, size);
    update();
}

void SymbolView::setColor(const QColor& color) {
    if (color == color_)
        return;
    color_ = color;
    drawn_ = {};
    update();
}

void SymbolView::paintEvent(QPaintEvent*) {
    // The ratio is known for certain only here, from the device painted on:
    // the window may have moved to another screen since the last paint, or
    // the widget is rendered into an image.
    QPainter painter(this);
    const qreal ratio = painter.paintEngine()->paintDevice()->devicePixelRatioF();
    if (drawn_.isNull() || drawn_.devicePixelRatio() != ratio)
        drawn_ = SymbolIcons::pixmap(symbol_, size_, color_, ratio);
    painter.drawPixmap(0, 0, drawn_);
}

SymbolLabel::SymbolLabel(const QString& symbol, const QFont& font, QWidget* parent)
    : QWidget(parent), icon_(new SymbolView(symbol, SymbolIcons::intendedSize, this)),
      text_(new QLabel(this)) {
    setFont(font);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(icon_, 0, Qt::AlignVCenter);
    layout->addWidget(text_, 1, Qt::AlignVCenter);
    text_->setWordWrap(true);
    text_->setTextFormat(Qt::PlainText);
    restyleSymbol();
}

QString SymbolLabel::text() const {
    return text_->text();
}

void SymbolLabel::setText(const QString& text) {
    text_->setText(text);
}

void SymbolLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        restyleSymbol();
    QWidget::changeEvent(event);
}

void SymbolLabel::restyleSymbol() {
    // A font whose lines are taller than the symbol takes it along.
    icon_->setSymbolSize(qMax(SymbolIcons::intendedSize, qCeil(QFontMetricsF(font()).height())));
    icon_->setColor(palette().color(QPalette::WindowText));
}

} // namespace velmora
