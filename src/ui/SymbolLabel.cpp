#include "ui/SymbolLabel.h"

#include "ui/SymbolIcons.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>

namespace velmora {

SymbolLabel::SymbolLabel(const QString& symbol, const QFont& font, QWidget* parent)
    : QWidget(parent), symbol_(symbol), icon_(new QLabel(this)), text_(new QLabel(this)) {
    setFont(font);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(icon_, 0, Qt::AlignVCenter);
    layout->addWidget(text_, 1, Qt::AlignVCenter);
    text_->setWordWrap(true);
    text_->setTextFormat(Qt::PlainText);
    redrawSymbol();
}

QString SymbolLabel::text() const { return text_->text(); }

void SymbolLabel::setText(const QString& text) { text_->setText(text); }

void SymbolLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange ||
        event->type() == QEvent::StyleChange)
        redrawSymbol();
    QWidget::changeEvent(event);
}

void SymbolLabel::redrawSymbol() {
    // A little taller than the capitals, as symbols beside text usually are.
    const int size = qRound(QFontMetricsF(font()).height() * 1.05);
    icon_->setFixedSize(size, size);
    icon_->setPixmap(
        SymbolIcons::pixmap(symbol_, size, palette().color(QPalette::WindowText), devicePixelRatioF()));
}

} // namespace velmora
