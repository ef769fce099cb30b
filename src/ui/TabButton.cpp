#include "ui/TabButton.h"

#include "ui/ViewStyle.h"

#include <QFocusEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

namespace velmora {

TabButton::TabButton(const QString& title, bool isSelected, std::function<void()> action, QWidget* parent)
    : QAbstractButton(parent), isSelected_(isSelected), selectionProgress_(isSelected ? 1.0 : 0.0),
      action_(std::move(action)), animation_(new QVariantAnimation(this)) {
    setText(title);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    animation_->setDuration(selectionAnimationMs);
    animation_->setEasingCurve(QEasingCurve::InOutQuad);
    connect(animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        selectionProgress_ = value.toReal();
        update();
    });
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (action_)
            action_();
    });
}

void TabButton::setTitle(const QString& title) {
    setText(title);
    updateGeometry();
    update();
}

void TabButton::setSelected(bool selected, bool animated) {
    const qreal target = selected ? 1.0 : 0.0;
    isSelected_ = selected;
    animation_->stop();
    if (animated && isVisible()) {
        animation_->setStartValue(selectionProgress_);
        animation_->setEndValue(target);
        animation_->start();
    } else {
        selectionProgress_ = target;
    }
    update();
}

QFont TabButton::titleFont(bool selected) const {
    if (selected)
        return ViewStyle::mediumWeight(font());
    QFont regular = font();
    regular.setWeight(QFont::Normal);
    return regular;
}

QSize TabButton::sizeHint() const {
    // Measured in the wider of both weights, so selecting never moves the tabs.
    const QFontMetrics selected(titleFont(true));
    const QFontMetrics regular(titleFont(false));
    const int width = qMax(selected.horizontalAdvance(text()), regular.horizontalAdvance(text()));
    return {width + 2 * horizontalPadding, qMax(selected.height(), regular.height()) + 2 * verticalPadding};
}

void TabButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath background;
    background.addRoundedRect(area, cornerRadius, cornerRadius);

    QColor fill = ViewStyle::accentColor(palette());
    const qreal hoverOpacity = hovered_ && !isSelected_ ? selectedFillOpacity / 2 : 0.0;
    fill.setAlphaF(qMax(selectedFillOpacity * selectionProgress_, hoverOpacity));
    painter.fillPath(background, fill);
    if (hasFocus() && focusFromKeyboard_) {
        QColor ring = ViewStyle::accentColor(palette());
        painter.setPen(QPen(ring, 1.5));
        painter.drawPath(background);
    }

    painter.setFont(titleFont(isSelected_));
    painter.setPen(isSelected_ ? palette().color(QPalette::WindowText)
                               : ViewStyle::secondaryTextColor(palette()));
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text());
}

void TabButton::focusInEvent(QFocusEvent* event) {
    // The ring shows where the keyboard is, once it is used: a window that
    // opens with its first tab focused shows none. Coming back to the
    // window keeps what was there.
    if (event->reason() != Qt::ActiveWindowFocusReason)
        focusFromKeyboard_ = event->reason() == Qt::TabFocusReason ||
                             event->reason() == Qt::BacktabFocusReason ||
                             event->reason() == Qt::ShortcutFocusReason;
    QAbstractButton::focusInEvent(event);
}

void TabButton::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void TabButton::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

} // namespace velmora
