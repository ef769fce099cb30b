#include "ui/OnboardingPageView.h"

#include "ui/SymbolLabel.h"
#include "ui/ViewStyle.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
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
    : QWidget(parent), page_(page), scrollArea_(new QScrollArea(this)) {
    // The page scrolls when the window is too low for it, so the buttons
    // below it always stay in the window; in a higher one it stays centred.
    auto* content = new QWidget;
    symbol_ = new SymbolView(page_.icon, symbolSize, content);
    auto* stack = new QVBoxLayout(content);
    stack->setContentsMargins(24, 0, 24, 0);
    stack->setSpacing(32);
    stack->addStretch();

    symbol_->setColor(ViewStyle::accentColor(palette()));
    auto* symbolArea = new QVBoxLayout;
    symbolArea->setContentsMargins(0, 16, 0, 0);
    symbolArea->addWidget(symbol_, 0, Qt::AlignHCenter);
    stack->addLayout(symbolArea);

    auto* heading = new QVBoxLayout;
    heading->setSpacing(12);
    QLabel* title = makeText(page_.title, ViewStyle::titleFont(font()), content);
    title->setObjectName(QStringLiteral("pageTitle"));
    title->setAlignment(Qt::AlignHCenter);
    heading->addWidget(title);
    QLabel* subtitle = makeText(page_.subtitle, ViewStyle::subheadlineFont(font()), content);
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
        QLabel* bullet = makeText(QStringLiteral("•"), bulletFont, content);
        bullet->setWordWrap(false);
        bullet->setContentsMargins(0, 2, 0, 2);
        QPalette bulletPalette = bullet->palette();
        bulletPalette.setColor(QPalette::WindowText, ViewStyle::accentColor(palette()));
        bullet->setPalette(bulletPalette);
        row->addWidget(bullet, 0, Qt::AlignTop);
        QLabel* line = makeText(feature, ViewStyle::subheadlineFont(font()), content);
        line->setObjectName(QStringLiteral("pageFeature"));
        line->setContentsMargins(0, 2, 0, 2);
        row->addWidget(line, 1);
        features->addLayout(row);
    }
    stack->addLayout(features);
    stack->addStretch();

    scrollArea_->setWidget(content);
    content->setAutoFillBackground(false);
    scrollArea_->setWidgetResizable(true);
    scrollArea_->setFrameShape(QFrame::NoFrame);
    scrollArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollArea_->setFocusPolicy(Qt::NoFocus);
    scrollArea_->viewport()->setAutoFillBackground(false);
    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->addWidget(scrollArea_);
}

void OnboardingPageView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange)
        symbol_->setColor(ViewStyle::accentColor(palette()));
    QWidget::changeEvent(event);
}

} // namespace velmora
