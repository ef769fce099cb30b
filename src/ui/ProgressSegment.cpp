#include "ui/ProgressSegment.h"

#include "ui/ViewStyle.h"

#include <QPainter>
#include <QVariantAnimation>

namespace velmora {

ProgressSegment::ProgressSegment(QWidget* parent) : QWidget(parent), animation_(new QVariantAnimation(this)) {
    setFixedHeight(barHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    animation_->setDuration(fadeMs);
    animation_->setEasingCurve(ViewStyle::easeInOut());
    connect(animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        color_ = value.value<QColor>();
        update();
    });
}

void ProgressSegment::setTargetColor(const QColor& color, bool animated) {
    if (color == targetColor_)
        return;
    targetColor_ = color;
    animation_->stop();
    if (animated && color_.isValid() && isVisible()) {
        animation_->setStartValue(color_);
        animation_->setEndValue(color);
        animation_->start();
    } else {
        color_ = color;
    }
    update();
}

void ProgressSegment::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), color_);
}

} // namespace velmora
