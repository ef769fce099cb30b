#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QWidget>

#include <functional>

class QComboBox;
class QLabel;

namespace velmora {

class SettingCheckBox;
class ShortcutLayoutPicker;
class SymbolLabel;

// The General tab: interface language, trigger keys, switching behaviour,
// start at login and the tray icon. Every switch stores its setting at once.
class GeneralTab final : public QWidget {
    Q_OBJECT

public:
    // The hidden-icon alert follows the switch by this much.
    static constexpr int menuBarHiddenAlertDelayMs = 100;
    static constexpr int languagePickerMaximumWidth = 200;

    // setAutoLaunch runs with the new value after every change of the start-at-login
    // switch; without it the switch only stores its setting.
    explicit GeneralTab(std::function<void(bool)> setAutoLaunch = {}, QWidget* parent = nullptr);

    // Texts in the current interface language.
    void retranslate();
    // Every control redrawn from the store and the language manager.
    void refresh();

    // Tells the user where the preferences are while the icon is hidden; its
    // second button turns the icon back on.
    void showMenuBarHiddenAlert();

    // The controls as Tab visits them: top to bottom, each row left to right.
    QList<QWidget*> focusOrder() const;

    QComboBox* languagePicker() const { return languagePicker_; }
    SettingCheckBox* checkBox(const QString& key) const { return checkBoxes_.value(key); }
    ShortcutLayoutPicker* shortcutLayoutPicker() const { return shortcutLayoutPicker_; }

private:
    SettingCheckBox* addCheckBox(const QString& key, const QString& textKey);
    void menuBarIconChanged(bool visible);
    void languageChosen(int index);

    std::function<void(bool)> setAutoLaunch_;
    QHash<QString, SettingCheckBox*> checkBoxes_;
    QList<QPair<SettingCheckBox*, QString>> checkBoxTexts_;
    QList<QPair<SymbolLabel*, QString>> headings_;
    QList<QPair<QLabel*, QString>> captions_;
    QLabel* languagePickerTitle_;
    QComboBox* languagePicker_;
    ShortcutLayoutPicker* shortcutLayoutPicker_;
};

} // namespace velmora
