#pragma once

#include "ui/LayoutNameCatalog.h"

#include <QWidget>

#include <optional>

class QComboBox;
class QLabel;
class QTimer;

namespace velmora {

// "Layout for shortcuts": English (automatic), which leaves the
// "shortcutLayout" key absent, or one of the installed layouts, named in the
// interface language through xkeyboard-config's catalogue. While shown it
// follows the keymap, so added or removed layouts appear or go.
class ShortcutLayoutPicker final : public QWidget {
    Q_OBJECT

public:
    static constexpr int keymapPollIntervalMs = 1000;

    explicit ShortcutLayoutPicker(QWidget* parent = nullptr);

    // The texts, and the layout names, in the interface language.
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
    // Read again only when the interface language changes, not at each poll.
    LayoutNameCatalog layoutNames_;
    std::optional<QString> layoutNamesLanguage_;
};

} // namespace velmora
