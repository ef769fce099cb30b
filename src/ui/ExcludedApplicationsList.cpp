#include "ui/ExcludedApplicationsList.h"

#include "localization/LocalizationKeys.h"
#include "localization/LocalizationManager.h"
#include "platform/Platform.h"
#include "platform/linux/DesktopEntries.h"
#include "settings/Constants.h"
#include "settings/SettingsStore.h"
#include "ui/SymbolLabel.h"
#include "ui/ViewStyle.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora {

namespace {

QString localized(const QString& key) {
    return LocalizationManager::shared().localizedString(key);
}

// The list shows up to this many rows before it scrolls.
constexpr int visibleRows = 5;

QIcon iconOf(const QString& name) {
    if (QFileInfo(name).isAbsolute())
        return QIcon(name);
    return QIcon::fromTheme(name, QIcon::fromTheme(QStringLiteral("application-x-executable")));
}

} // namespace

ExcludedApplicationsList::ExcludedApplicationsList(QWidget* parent)
    : QWidget(parent),
      heading_(new SymbolLabel(QStringLiteral("hand.raised"), ViewStyle::headlineFont(font()), this)),
      caption_(new QLabel(this)), list_(new QListWidget(this)), add_(new QPushButton(this)),
      remove_(new QPushButton(this)), note_(new QLabel(this)) {
    list_->setObjectName(QStringLiteral("excludedApplications"));
    list_->setIconSize(QSize(20, 20));
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    add_->setObjectName(QStringLiteral("addExcludedApplication"));
    remove_->setObjectName(QStringLiteral("removeExcludedApplication"));
    caption_->setWordWrap(true);
    caption_->setTextFormat(Qt::PlainText);
    caption_->setFont(ViewStyle::captionFont(font()));
    ViewStyle::useSecondaryTextColor(caption_);
    note_->setWordWrap(true);
    note_->setFont(ViewStyle::captionFont(font()));
    ViewStyle::useSecondaryTextColor(note_);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addWidget(add_);
    buttons->addWidget(remove_);
    buttons->addStretch();
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);
    column->addWidget(heading_);
    column->addWidget(caption_);
    column->addSpacing(2);
    column->addWidget(list_);
    column->addLayout(buttons);
    column->addWidget(note_);

    connect(add_, &QPushButton::clicked, this, &ExcludedApplicationsList::chooseApplication);
    connect(remove_, &QPushButton::clicked, this, &ExcludedApplicationsList::removeSelected);
    connect(list_, &QListWidget::itemSelectionChanged, this,
            [this] { remove_->setEnabled(!list_->selectedItems().isEmpty()); });
    connect(&SettingsStore::standard(), &SettingsStore::valueChanged, this, [this](const QString& key) {
        if (key == Constants::excludedApplications)
            refresh();
    });
    retranslate();
    refresh();
}

QList<QWidget*> ExcludedApplicationsList::focusOrder() const {
    return {list_, add_, remove_};
}

void ExcludedApplicationsList::refresh() {
    list_->clear();
    const QStringList identifiers =
        SettingsStore::standard().stringListForKey(Constants::excludedApplications);
    // Read once for all rows; none when there is nothing to name.
    const QList<DesktopEntry> installed =
        identifiers.isEmpty() ? QList<DesktopEntry>() : DesktopEntries::installed();
    for (const QString& identifier : identifiers) {
        const std::optional<DesktopEntry> entry = DesktopEntries::find(identifier, installed);
        auto* row = new QListWidgetItem(
            entry ? iconOf(entry->icon) : iconOf({}),
            entry ? QStringLiteral("%1 (%2)").arg(entry->name, identifier) : identifier, list_);
        row->setData(Qt::UserRole, identifier);
    }
    // Room for the rows there are, so that the tab's height follows the list;
    // an empty list leaves only its buttons.
    list_->setVisible(list_->count() > 0);
    if (list_->count() > 0)
        list_->setFixedHeight(std::min(list_->count(), visibleRows) * list_->sizeHintForRow(0) +
                              2 * list_->frameWidth());
    remove_->setEnabled(false);
    const FocusedApplication* focus = Platform::current().focus.get();
    note_->setVisible(focus == nullptr || !focus->followsFocus());
}

void ExcludedApplicationsList::retranslate() {
    heading_->setText(localized(LocalizationKeys::excludedTitle));
    caption_->setText(localized(LocalizationKeys::excludedDescription));
    add_->setText(localized(LocalizationKeys::excludedAdd));
    remove_->setText(localized(LocalizationKeys::excludedRemove));
    note_->setText(localized(LocalizationKeys::excludedNoFocus));
    list_->setAccessibleName(localized(LocalizationKeys::excludedTitle));
}

void ExcludedApplicationsList::add(const QString& identifier) {
    SettingsStore& store = SettingsStore::standard();
    QStringList identifiers = store.stringListForKey(Constants::excludedApplications);
    const QString trimmed = identifier.trimmed();
    if (trimmed.isEmpty() || identifiers.contains(trimmed, Qt::CaseInsensitive))
        return;
    identifiers.append(trimmed);
    store.setStringList(Constants::excludedApplications, identifiers);
}

void ExcludedApplicationsList::removeSelected() {
    SettingsStore& store = SettingsStore::standard();
    QStringList identifiers = store.stringListForKey(Constants::excludedApplications);
    for (const QListWidgetItem* row : list_->selectedItems())
        identifiers.removeAll(row->data(Qt::UserRole).toString());
    store.setStringList(Constants::excludedApplications, identifiers);
}

QList<QPair<QString, QString>> ExcludedApplicationsList::offeredApplications() const {
    QList<QPair<QString, QString>> offered;
    QStringList seen;
    const QString running = localized(LocalizationKeys::excludedRunning);
    const QList<DesktopEntry> installed = DesktopEntries::installed();
    for (const auto& [identifier, title] : running_ ? running_() : QList<QPair<QString, QString>>()) {
        const std::optional<DesktopEntry> entry = DesktopEntries::find(identifier, installed);
        const QString name = entry ? entry->name : title.isEmpty() ? identifier : title;
        offered.append({QStringLiteral("%1 (%2) — %3").arg(name, identifier, running), identifier});
        seen.append(identifier.toLower());
    }
    for (const DesktopEntry& entry : installed)
        if (!seen.contains(entry.identifier.toLower()))
            offered.append({QStringLiteral("%1 (%2)").arg(entry.name, entry.identifier), entry.identifier});
    return offered;
}

void ExcludedApplicationsList::chooseApplication() {
    const QList<QPair<QString, QString>> offered = offeredApplications();
    QInputDialog dialog(this);
    dialog.setObjectName(QStringLiteral("addApplicationDialog"));
    dialog.setWindowTitle(localized(LocalizationKeys::excludedPickTitle));
    dialog.setLabelText(localized(LocalizationKeys::excludedPickLabel));
    dialog.setOkButtonText(localized(LocalizationKeys::excludedAdd).remove(QStringLiteral("…")));
    dialog.setCancelButtonText(localized(LocalizationKeys::cancelButton));
    QStringList texts;
    for (const auto& [text, identifier] : offered)
        texts.append(text);
    dialog.setComboBoxItems(texts);
    dialog.setComboBoxEditable(true);
    dialog.setTextValue(QString());
    if (dialog.exec() != QDialog::Accepted)
        return;
    // A typed text that is none of the offered rows is an identifier.
    const QString chosen = dialog.textValue();
    const qsizetype index = texts.indexOf(chosen);
    add(index >= 0 ? offered[index].second : chosen);
}

} // namespace velmora
