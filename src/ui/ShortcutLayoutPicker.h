#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QTimer;

namespace velmora {

// "Layout for shortcuts": English (automatic), which leaves the
// "shortcutLayout" key absent, or one of the installed layouts. While shown
// it follows the keymap, so added or removed layouts appear or go.
class ShortcutLayoutPicker final : public QWidget {
    Q_OBJECT

public:
    static constexpr int keymapPollIntervalMs = 1000;

    explicit ShortcutLayoutPicker(QWidget* parent = nullptr);

    void retranslate();
    // The installed layouts read again and the stored choice shown.
    void refresh();

    QComboBox* comboBox() const { return picker_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void chosen(int index);

    QLabel* title_;
    QComboBox* picker_;
    QTimer* keymapPoll_;
};

} // namespace velmora
