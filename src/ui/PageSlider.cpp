#include "ui/PageSlider.h"

#include "ui/ViewStyle.h"

#include <QPropertyAnimation>

#include <cmath>

namespace velmora {

PageSlider::PageSlider(QWidget* parent)
    : QWidget(parent), animation_(new QPropertyAnimation(this, "position", this)) {
    animation_->setDuration(slideMs);
    animation_->setEasingCurve(ViewStyle::easeInOut());
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PageSlider::addPage(QWidget* page) {
    page->setParent(this);
    pages_.append(page);
    placePages();
}

void PageSlider::setCurrentIndex(int index, bool animated) {
    if (index < 0 || index >= count())
        return;
    currentIndex_ = index;
    animation_->stop();
    if (animated && isVisible()) {
        animation_->setStartValue(position_);
        animation_->setEndValue(qreal(index));
        animation_->start();
    } else {
        setPosition(index);
    }
}

void PageSlider::setPosition(qreal position) {
    position_ = position;
    placePages();
}

QSize PageSlider::sizeHint() const {
    QSize size;
    for (const QWidget* page : pages_)
        size = size.expandedTo(page->sizeHint());
    return size;
}

QSize PageSlider::minimumSizeHint() const { return {0, 0}; }

void PageSlider::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placePages();
}

void PageSlider::placePages() {
    for (int i = 0; i < count(); ++i) {
        const int x = static_cast<int>(std::lround((i - position_) * width()));
        pages_[i]->setGeometry(x, 0, width(), height());
        // Pages out of sight take no focus and no clicks.
        pages_[i]->setVisible(qAbs(i - position_) < 1.0);
    }
}

} // namespace velmora
