#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;

namespace velmora {

class SettingCheckBox;
class SymbolLabel;

// The Advanced tab: automatic update checks, a check on request and the
// reset of all settings. Its texts are tr() texts, translated by the table
// SystemTranslations installs for the desktop's language, not by the
// interface language chosen in the preferences.
class AdvancedTab final : public QWidget {
    Q_OBJECT

public:
    // checkForUpdates runs a check that the user started.
    AdvancedTab(std::function<void()> checkForUpdates, const QString& currentVersion,
                QWidget* parent = nullptr);

    void refresh();
    // The controls as Tab visits them, top to bottom.
    QList<QWidget*> focusOrder() const;

    SettingCheckBox* autoUpdatesCheckBox() const { return autoUpdates_; }
    QPushButton* checkNowButton() const { return checkNow_; }
    QPushButton* resetButton() const { return reset_; }
    QLabel* versionLabel() const { return version_; }

private:
    std::function<void()> checkForUpdates_;
    SettingCheckBox* autoUpdates_;
    QPushButton* checkNow_;
    QLabel* version_;
    QPushButton* reset_;
};

} // namespace velmora
