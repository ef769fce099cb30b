#include "ui/GeneralTab.h"

#include "localization/LocalizationKeys.h"
#include "localization/LocalizationManager.h"
#include "localization/SupportedLanguage.h"
#include "platform/Platform.h"
#include "settings/Constants.h"
#include "settings/NotificationCenter.h"
#include "ui/SettingCheckBox.h"
#include "ui/ShortcutLayoutPicker.h"
#include "ui/SymbolLabel.h"
#include "ui/ViewStyle.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

namespace velmora {

namespace {

QString localized(const QString& key) { return LocalizationManager::shared().localizedString(key); }

constexpr int sectionSpacing = 14;
constexpr int rowSpacing = 6;

} // namespace

GeneralTab::GeneralTab(std::function<void(bool)> setAutoLaunch, QWidget* parent)
    : QWidget(parent), setAutoLaunch_(std::move(setAutoLaunch)), languagePickerTitle_(new QLabel(this)),
      languagePicker_(new QComboBox(this)), shortcutLayoutPicker_(new ShortcutLayoutPicker(this)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(sectionSpacing);

    const auto addSection = [&](const QString& symbol, const QString& titleKey, const QString& captionKey) {
        auto* section = new QVBoxLayout;
        section->setSpacing(rowSpacing);
        auto* heading = new SymbolLabel(symbol, ViewStyle::headlineFont(font()), this);
        headings_.append({heading, titleKey});
        section->addWidget(heading);
        if (!captionKey.isEmpty()) {
            auto* caption = new QLabel(this);
            caption->setFont(ViewStyle::captionFont(font()));
            caption->setWordWrap(true);
            caption->setTextFormat(Qt::PlainText);
            ViewStyle::useSecondaryTextColor(caption);
            captions_.append({caption, captionKey});
            section->addWidget(caption);
        }
        if (column->count() > 0)
            column->addWidget(ViewStyle::makeDivider(this));
        column->addLayout(section);
        return section;
    };

    QVBoxLayout* language = addSection(QStringLiteral("globe"), LocalizationKeys::languageTitle,
                                       LocalizationKeys::languageDescription);
    auto* pickerRow = new QHBoxLayout;
    pickerRow->setSpacing(8);
    languagePicker_->setObjectName(QStringLiteral("languagePicker"));
    languagePicker_->setMaximumWidth(languagePickerMaximumWidth);
    languagePicker_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    languagePickerTitle_->setBuddy(languagePicker_);
    for (const SupportedLanguage& language : SupportedLanguage::allCases())
        languagePicker_->addItem(language.displayName(), language.rawValue());
    pickerRow->addWidget(languagePickerTitle_);
    pickerRow->addWidget(languagePicker_);
    pickerRow->addStretch();
    language->addSpacing(2);
    language->addLayout(pickerRow);
    connect(languagePicker_, &QComboBox::activated, this, &GeneralTab::languageChosen);

    QVBoxLayout* triggers = addSection(QStringLiteral("keyboard"), LocalizationKeys::triggerKeysTitle,
                                       LocalizationKeys::triggerKeysDescription);
    auto* keys = new QGridLayout;
    keys->setHorizontalSpacing(24);
    keys->setVerticalSpacing(rowSpacing);
    keys->addWidget(addCheckBox(Constants::useCommandKey, LocalizationKeys::keyCommand), 0, 0);
    keys->addWidget(addCheckBox(Constants::useControlKey, LocalizationKeys::keyControl), 0, 1);
    keys->addWidget(addCheckBox(Constants::useOptionKey, LocalizationKeys::keyOption), 1, 0);
    keys->addWidget(addCheckBox(Constants::useShiftKey, LocalizationKeys::keyShift), 1, 1);
    keys->setColumnStretch(2, 1);
    triggers->addSpacing(2);
    triggers->addLayout(keys);

    QVBoxLayout* switching =
        addSection(QStringLiteral("arrow.left.arrow.right"), LocalizationKeys::switchingBehaviorTitle, {});
    switching->addWidget(addCheckBox(Constants::switchToEnglish, LocalizationKeys::switchToEnglish));
    switching->addWidget(
        addCheckBox(Constants::restorePreviousLayout, LocalizationKeys::restorePreviousLayout));
    switching->addWidget(shortcutLayoutPicker_);

    QVBoxLayout* launch = addSection(QStringLiteral("gearshape"), LocalizationKeys::launchSettingsTitle, {});
    SettingCheckBox* startAtLogin = addCheckBox(Constants::launchAtLogin, LocalizationKeys::startAtLogin);
    startAtLogin->setChangeHandler([this](bool enabled) {
        if (setAutoLaunch_)
            setAutoLaunch_(enabled);
    });
    launch->addWidget(startAtLogin);
    SettingCheckBox* menuBarIcon = addCheckBox(Constants::showMenuBarIcon, LocalizationKeys::showMenuBarIcon);
    menuBarIcon->setChangeHandler([this](bool visible) { menuBarIconChanged(visible); });
    launch->addWidget(menuBarIcon);

    retranslate();
    refresh();
}

QList<QWidget*> GeneralTab::focusOrder() const {
    return {languagePicker_,
            checkBox(Constants::useCommandKey),
            checkBox(Constants::useControlKey),
            checkBox(Constants::useOptionKey),
            checkBox(Constants::useShiftKey),
            checkBox(Constants::switchToEnglish),
            checkBox(Constants::restorePreviousLayout),
            shortcutLayoutPicker_->comboBox(),
            checkBox(Constants::launchAtLogin),
            checkBox(Constants::showMenuBarIcon)};
}

SettingCheckBox* GeneralTab::addCheckBox(const QString& key, const QString& textKey) {
    auto* checkBox = new SettingCheckBox(key, this);
    checkBoxes_.insert(key, checkBox);
    checkBoxTexts_.append({checkBox, textKey});
    return checkBox;
}

void GeneralTab::retranslate() {
    for (const auto& [heading, key] : std::as_const(headings_))
        heading->setText(localized(key));
    for (const auto& [caption, key] : std::as_const(captions_))
        caption->setText(localized(key));
    for (const auto& [checkBox, key] : std::as_const(checkBoxTexts_))
        checkBox->setText(localized(key));
    shortcutLayoutPicker_->retranslate();
    languagePickerTitle_->setText(localized(LocalizationKeys::languageTitle));
    languagePicker_->setAccessibleName(localized(LocalizationKeys::languageTitle));
    // The other entries are names of languages in their own language.
    const int systemIndex =
        languagePicker_->findData(SupportedLanguage(SupportedLanguage::system).rawValue());
    if (systemIndex >= 0)
        languagePicker_->setItemText(systemIndex, localized(LocalizationKeys::languageSystemDefault));
}

void GeneralTab::refresh() {
    for (SettingCheckBox* checkBox : std::as_const(checkBoxes_))
        checkBox->refresh();
    shortcutLayoutPicker_->refresh();
    const QSignalBlocker blocker(languagePicker_);
    languagePicker_->setCurrentIndex(
        languagePicker_->findData(LocalizationManager::shared().currentLanguage()));
}

void GeneralTab::languageChosen(int index) {
    LocalizationManager::shared().setCurrentLanguage(languagePicker_->itemData(index).toString());
}

void GeneralTab::menuBarIconChanged(bool visible) {
    NotificationCenter::defaultCenter().post(Constants::menuBarIconSettingChangedNotification);
    if (!visible)
        QTimer::singleShot(menuBarHiddenAlertDelayMs, this, &GeneralTab::showMenuBarHiddenAlert);
}

void GeneralTab::showMenuBarHiddenAlert() {
    AlertPresenter* alerts = Platform::current().alerts.get();
    if (alerts == nullptr)
        return;
    const QPointer<GeneralTab> self(this);
    const int response = alerts->runModal({localized(LocalizationKeys::menuBarHiddenTitle),
                                           localized(LocalizationKeys::menuBarHiddenMessage),
                                           AlertStyle::warning,
                                           {localized(LocalizationKeys::menuBarHiddenOk),
                                            localized(LocalizationKeys::menuBarHiddenShowAgain)},
                                           AlertResponse::firstButton});
    if (self && response == AlertResponse::secondButton)
        checkBox(Constants::showMenuBarIcon)->setChecked(true);
}

} // namespace velmora
