#pragma once

#include <QList>
#include <QWidget>

class QPropertyAnimation;

namespace velmora {

// Shows one of its pages at a time and slides sideways to another.
class PageSlider final : public QWidget {
    Q_OBJECT
    Q_PROPERTY(qreal position READ position WRITE setPosition)

public:
    static constexpr int slideMs = 350;

    explicit PageSlider(QWidget* parent = nullptr);

    // The slider takes ownership.
    void addPage(QWidget* page);
    int count() const { return static_cast<int>(pages_.size()); }
    QWidget* page(int index) const { return pages_.value(index); }

    int currentIndex() const { return currentIndex_; }
    void setCurrentIndex(int index, bool animated);

    // The page shown at the left edge, fractional while sliding.
    qreal position() const { return position_; }
    void setPosition(qreal position);
    const QPropertyAnimation* animation() const { return animation_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void placePages();

    QList<QWidget*> pages_;
    int currentIndex_ = 0;
    qreal position_ = 0;
    QPropertyAnimation* animation_;
};

} // namespace velmora
