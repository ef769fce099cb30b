#include "ui/ShortcutLayoutPicker.h"

#include "localization/LocalizationKeys.h"
#include "localization/LocalizationManager.h"
#include "platform/Platform.h"
#include "settings/Constants.h"
#include "settings/SettingsStore.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QTimer>

namespace velmora {

namespace {
constexpr int maximumPickerWidth = 220;
} // namespace

ShortcutLayoutPicker::ShortcutLayoutPicker(QWidget* parent)
    : QWidget(parent), title_(new QLabel(this)), picker_(new QComboBox(this)), keymapPoll_(new QTimer(this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    picker_->setObjectName(QStringLiteral("shortcutLayoutPicker"));
    picker_->setMaximumWidth(maximumPickerWidth);
    picker_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    picker_->addItem(QString(), QString());
    title_->setBuddy(picker_);
    row->addWidget(title_);
    row->addWidget(picker_);
    row->addStretch();
    connect(picker_, &QComboBox::activated, this, &ShortcutLayoutPicker::chosen);
    // The keymap has no change notice for the interface; reading the list
    // is cheap (no round trip while the keymap is unchanged).
    keymapPoll_->setInterval(keymapPollIntervalMs);
    connect(keymapPoll_, &QTimer::timeout, this, &ShortcutLayoutPicker::refresh);
    retranslate();
}

void ShortcutLayoutPicker::retranslate() {
    const QString title =
        LocalizationManager::shared().localizedString(LocalizationKeys::shortcutLayoutTitle);
    title_->setText(title);
    picker_->setAccessibleName(title);
    picker_->setItemText(
        0, LocalizationManager::shared().localizedString(LocalizationKeys::shortcutLayoutAutomatic));
    if (const QString language = LocalizationManager::shared().bundleLanguage();
        language != layoutNamesLanguage_) {
        layoutNames_ = LayoutNameCatalog(LayoutNameCatalog::pathFor(language));
        layoutNamesLanguage_ = language;
    }
    refresh();
}

void ShortcutLayoutPicker::refresh() {
    const QSignalBlocker blocker(picker_);
    QList<std::pair<QString, QString>> layouts; // identifier, display name
    if (TextInputSources* sources = Platform::current().inputSources.get())
        for (const InputSourceRef& source :
             sources->createInputSourceList().value_or(QList<InputSourceRef>()))
            if (source && source->identifier)
                layouts.append({*source->identifier,
                                layoutNames_.translate(source->localizedName.value_or(*source->identifier))});
    for (int i = 0; i < layouts.size(); ++i) {
        if (i + 1 < picker_->count()) {
            picker_->setItemData(i + 1, layouts[i].first);
            picker_->setItemText(i + 1, layouts[i].second);
        } else {
            picker_->addItem(layouts[i].second, layouts[i].first);
        }
    }
    while (picker_->count() > layouts.size() + 1)
        picker_->removeItem(picker_->count() - 1);
    // A stored layout that is not installed is not used: English is.
    const QString stored =
        SettingsStore::standard().stringForKey(Constants::shortcutLayout).value_or(QString());
    const int index = stored.isEmpty() ? 0 : picker_->findData(stored);
    picker_->setCurrentIndex(index > 0 ? index : 0);
}

void ShortcutLayoutPicker::chosen(int index) {
    SettingsStore& store = SettingsStore::standard();
    if (index <= 0)
        store.removeObject(Constants::shortcutLayout);
    else
        store.setString(Constants::shortcutLayout, picker_->itemData(index).toString());
}

void ShortcutLayoutPicker::showEvent(QShowEvent* event) {
    refresh();
    keymapPoll_->start();
    QWidget::showEvent(event);
}

void ShortcutLayoutPicker::hideEvent(QHideEvent* event) {
    keymapPoll_->stop();
    QWidget::hideEvent(event);
}

} // namespace velmora
