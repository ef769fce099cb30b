#include "ui/ViewStyle.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QPalette>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>

namespace velmora {

namespace {

QFont scaled(const QFont& base, qreal factor) {
    QFont font = base;
    if (base.pointSizeF() > 0)
        font.setPointSizeF(base.pointSizeF() * factor);
    else
        font.setPixelSize(qRound(base.pixelSize() * factor));
    return font;
}

QColor blended(const QColor& from, const QColor& to, qreal amount) {
    return QColor::fromRgbF(from.redF() + (to.redF() - from.redF()) * amount,
                            from.greenF() + (to.greenF() - from.greenF()) * amount,
                            from.blueF() + (to.blueF() - from.blueF()) * amount);
}

} // namespace

QFont ViewStyle::titleFont(const QFont& base) {
    QFont font = scaled(base, 1.75);
    font.setWeight(QFont::Bold);
    return font;
}

QFont ViewStyle::headlineFont(const QFont& base) {
    QFont font = base;
    font.setWeight(QFont::DemiBold);
    return font;
}

QFont ViewStyle::subheadlineFont(const QFont& base) {
    return scaled(base, 0.95);
}

QFont ViewStyle::captionFont(const QFont& base) {
    return scaled(base, 0.9);
}

QFont ViewStyle::mediumWeight(const QFont& base) {
    // Asked for a weight it lacks, the font database picks the nearest one,
    // which for medium is the regular face.
    const QString family = QFontInfo(base).family();
    const QStringList styles = QFontDatabase::styles(family);
    const bool hasMedium = std::any_of(styles.begin(), styles.end(), [&](const QString& style) {
        const int weight = QFontDatabase::weight(family, style);
        return weight >= QFont::Medium && weight < QFont::DemiBold;
    });
    QFont font = base;
    font.setWeight(hasMedium ? QFont::Medium : QFont::DemiBold);
    return font;
}

QColor ViewStyle::accentColor(const QPalette& palette) {
    return palette.color(QPalette::Highlight);
}

QColor ViewStyle::secondaryTextColor(const QPalette& palette) {
    return blended(palette.color(QPalette::WindowText), palette.color(QPalette::Window), 0.4);
}

void ViewStyle::useSecondaryTextColor(QWidget* widget) {
    QPalette palette = widget->palette();
    const QColor secondary = secondaryTextColor(palette);
    palette.setColor(QPalette::WindowText, secondary);
    palette.setColor(QPalette::ButtonText, secondary);
    widget->setPalette(palette);
}

void ViewStyle::makeProminent(QPushButton* button) {
    // The height the style gives a bordered button, measured before the
    // style sheet below takes over the button's metrics.
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = QStringLiteral("X");
    const int height = button->style()
                           ->sizeFromContents(QStyle::CT_PushButton, &option,
                                              QSize(0, button->fontMetrics().height()), button)
                           .height();

    // Styles draw a palette-tinted button too pale for white text, so this
    // one is drawn flat in the accent colour. The fixed height centres the
    // title; vertical padding would only push it down. The focus ring is a
    // border as thick as a stroke of text, in the text colour, which stands
    // out against both the fill and the window; the padding gives back what
    // it takes, so the title stays in place.
    const QPalette& palette = button->palette();
    const QColor accent = accentColor(palette).darker(108);
    button->setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; color: %2; border: 1px solid %3;"
                       " border-radius: 5px; padding: 0px 14px; }"
                       "QPushButton:hover { background-color: %4; }"
                       "QPushButton:pressed { background-color: %3; }"
                       "QPushButton:focus { border: 2px solid %5; padding: 0px 13px; }")
            .arg(accent.name(), palette.color(QPalette::HighlightedText).name(), accent.darker(125).name(),
                 accent.lighter(110).name(), palette.color(QPalette::WindowText).name()));
    button->setFixedHeight(height);
    button->setAutoDefault(false);
}

void ViewStyle::makePlain(QPushButton* button) {
    const QPalette palette = button->palette();
    button->setFlat(true);
    button->setAutoDefault(false);
    useSecondaryTextColor(button);
    // Without a frame of its own the style would still reserve a bordered
    // button's minimum width and centre the title in it.
    button->setStyleSheet(
        QStringLiteral("QPushButton { background: transparent; color: %1; border: 1px solid transparent;"
                       " border-radius: 4px; padding: 4px 4px; }"
                       "QPushButton:hover { color: %2; }"
                       "QPushButton:focus { border-color: %3; }")
            .arg(secondaryTextColor(palette).name(), palette.color(QPalette::WindowText).name(),
                 accentColor(palette).name()));
}

QFrame* ViewStyle::makeDivider(QWidget* parent) {
    auto* divider = new QFrame(parent);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    return divider;
}

bool ViewStyle::clickFocusedButton(const QWidget* view, const QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return false;
    auto* button = qobject_cast<QAbstractButton*>(view->focusWidget());
    if (button == nullptr || !button->isEnabled() || !button->isVisible())
        return false;
    button->click();
    return true;
}

QEasingCurve ViewStyle::easeInOut() {
    // The common ease-in-out timing curve, cubic Bézier (0.42, 0, 0.58, 1).
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0.42, 0.0), QPointF(0.58, 1.0), QPointF(1.0, 1.0));
    return curve;
}

} // namespace velmora
