#pragma once

#include <QColor>
#include <QWidget>

class QVariantAnimation;

namespace velmora {

// One bar of the onboarding's progress row, 3 pixels high, filled with a
// colour that fades to each new one.
class ProgressSegment final : public QWidget {
    Q_OBJECT

public:
    static constexpr int barHeight = 3;
    static constexpr int fadeMs = 300;

    explicit ProgressSegment(QWidget* parent = nullptr);

    // The colour the bar is heading for, and the one drawn now.
    QColor targetColor() const { return targetColor_; }
    QColor color() const { return color_; }
    void setTargetColor(const QColor& color, bool animated);
    const QVariantAnimation* animation() const { return animation_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor targetColor_;
    QColor color_;
    QVariantAnimation* animation_;
};

} // namespace velmora
