#include "ui/OnboardingPageView.h"

#include "ui/SymbolIcons.h"
#include "ui/ViewStyle.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace velmora {

namespace {

QLabel* makeText(const QString& text, const QFont& font, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

OnboardingPageView::OnboardingPageView(const OnboardingPage& page, QWidget* parent)
    : QWidget(parent), page_(page), symbol_(new QLabel(this)) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(24, 0, 24, 0);
    stack->setSpacing(32);
    stack->addStretch();

    symbol_->setFixedSize(symbolSize, symbolSize);
    symbol_->setAlignment(Qt::AlignCenter);
    auto* symbolArea = new QVBoxLayout;
    symbolArea->setContentsMargins(0, 16, 0, 0);
    symbolArea->addWidget(symbol_, 0, Qt::AlignHCenter);
    stack->addLayout(symbolArea);

    auto* heading = new QVBoxLayout;
    heading->setSpacing(12);
    QLabel* title = makeText(page_.title, ViewStyle::titleFont(font()), this);
    title->setObjectName(QStringLiteral("pageTitle"));
    title->setAlignment(Qt::AlignHCenter);
    heading->addWidget(title);
    QLabel* subtitle = makeText(page_.subtitle, ViewStyle::subheadlineFont(font()), this);
    subtitle->setObjectName(QStringLiteral("pageSubtitle"));
    subtitle->setAlignment(Qt::AlignHCenter);
    ViewStyle::useSecondaryTextColor(subtitle);
    heading->addWidget(subtitle);
    stack->addLayout(heading);

    auto* features = new QVBoxLayout;
    features->setContentsMargins(32, 0, 32, 0);
    features->setSpacing(8);
    for (const QString& feature : page_.features) {
        // A bullet in the accent colour keeps wrapped lines apart.
        auto* row = new QHBoxLayout;
        row->setSpacing(8);
        QFont bulletFont = ViewStyle::subheadlineFont(font());
        bulletFont.setWeight(QFont::Bold);
        QLabel* bullet = makeText(QStringLiteral("•"), bulletFont, this);
        bullet->setWordWrap(false);
        bullet->setContentsMargins(0, 2, 0, 2);
        QPalette bulletPalette = bullet->palette();
        bulletPalette.setColor(QPalette::WindowText, ViewStyle::accentColor(palette()));
        bullet->setPalette(bulletPalette);
        row->addWidget(bullet, 0, Qt::AlignTop);
        QLabel* line = makeText(feature, ViewStyle::subheadlineFont(font()), this);
        line->setObjectName(QStringLiteral("pageFeature"));
        line->setContentsMargins(0, 2, 0, 2);
        row->addWidget(line, 1);
        features->addLayout(row);
    }
    stack->addLayout(features);
    stack->addStretch();
    redrawSymbol();
}

void OnboardingPageView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        redrawSymbol();
    QWidget::changeEvent(event);
}

void OnboardingPageView::redrawSymbol() {
    symbol_->setPixmap(
        SymbolIcons::pixmap(page_.icon, symbolSize, ViewStyle::accentColor(palette()), devicePixelRatioF()));
}

} // namespace velmora
