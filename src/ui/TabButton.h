#pragma once

#include <QAbstractButton>
#include <QString>

#include <functional>

class QVariantAnimation;

namespace velmora {

// A borderless tab title: medium weight and the text colour with a faint
// accent-tinted rounded background while selected, regular weight and the
// secondary colour otherwise. Pressing it runs its action.
class TabButton final : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr int horizontalPadding = 16;
    static constexpr int verticalPadding = 8;
    static constexpr qreal cornerRadius = 6;
    static constexpr qreal selectedFillOpacity = 0.1;
    static constexpr int selectionAnimationMs = 300;

    TabButton(const QString& title, bool isSelected, std::function<void()> action, QWidget* parent = nullptr);

    QString title() const { return text(); }
    void setTitle(const QString& title);
    bool isSelected() const { return isSelected_; }
    // An animated change fades the background in or out.
    void setSelected(bool selected, bool animated = false);
    // How far the selection background is drawn, 0 to 1.
    qreal selectionProgress() const { return selectionProgress_; }
    const QVariantAnimation* selectionAnimation() const { return animation_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QFont titleFont(bool selected) const;

    bool isSelected_;
    qreal selectionProgress_;
    bool hovered_ = false;
    bool focusFromKeyboard_ = false;
    std::function<void()> action_;
    QVariantAnimation* animation_;
};

} // namespace velmora
