#include "ui/AdvancedTab.h"

#include "settings/Constants.h"
#include "ui/SettingCheckBox.h"
#include "ui/SymbolLabel.h"
#include "ui/ViewStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora {

AdvancedTab::AdvancedTab(std::function<void()> checkForUpdates, const QString& currentVersion,
                         QWidget* parent)
    : QWidget(parent), checkForUpdates_(std::move(checkForUpdates)),
      autoUpdates_(new SettingCheckBox(Constants::enableAutoUpdates, this)),
      checkNow_(new QPushButton(this)), version_(new QLabel(this)), reset_(new QPushButton(this)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(14);

    auto* header = new QVBoxLayout;
    header->setSpacing(6);
    auto* title =
        new SymbolLabel(QStringLiteral("wrench.and.screwdriver"), ViewStyle::headlineFont(font()), this);
    title->setText(tr("Advanced Settings"));
    header->addWidget(title);
    auto* caption = new QLabel(tr("These settings are for advanced users and troubleshooting."), this);
    caption->setFont(ViewStyle::captionFont(font()));
    caption->setWordWrap(true);
    ViewStyle::useSecondaryTextColor(caption);
    header->addWidget(caption);
    column->addLayout(header);

    const QFont groupFont = ViewStyle::mediumWeight(ViewStyle::subheadlineFont(font()));

    auto* updates = new QVBoxLayout;
    updates->setSpacing(8);
    auto* updatesTitle = new SymbolLabel(QStringLiteral("arrow.down.circle"), groupFont, this);
    updatesTitle->setText(tr("Updates"));
    updates->addWidget(updatesTitle);
    autoUpdates_->setText(tr("Automatically check for updates"));
    updates->addWidget(autoUpdates_);
    auto* checkRow = new QHBoxLayout;
    checkRow->setSpacing(12);
    checkNow_->setObjectName(QStringLiteral("checkNowButton"));
    checkNow_->setText(tr("Check Now"));
    checkNow_->setAutoDefault(false);
    checkRow->addWidget(checkNow_);
    version_->setText(tr("Current version: %1").arg(currentVersion));
    version_->setFont(ViewStyle::captionFont(font()));
    ViewStyle::useSecondaryTextColor(version_);
    checkRow->addWidget(version_);
    checkRow->addStretch();
    updates->addLayout(checkRow);
    column->addLayout(updates);

    column->addWidget(ViewStyle::makeDivider(this));

    auto* resetGroup = new QVBoxLayout;
    resetGroup->setSpacing(8);
    auto* resetTitle = new SymbolLabel(QStringLiteral("arrow.clockwise"), groupFont, this);
    resetTitle->setText(tr("Reset"));
    resetGroup->addWidget(resetTitle);
    reset_->setObjectName(QStringLiteral("resetButton"));
    reset_->setText(tr("Reset all settings to defaults"));
    ViewStyle::makeProminent(reset_);
    auto* resetRow = new QHBoxLayout;
    resetRow->addWidget(reset_);
    resetRow->addStretch();
    resetGroup->addLayout(resetRow);
    column->addLayout(resetGroup);

    connect(checkNow_, &QPushButton::clicked, this, [this] {
        if (checkForUpdates_)
            checkForUpdates_();
    });
    // The switches follow the reset through the store's announcements.
    connect(reset_, &QPushButton::clicked, this, &resetAllSettings);
}

void AdvancedTab::refresh() { autoUpdates_->refresh(); }

QList<QWidget*> AdvancedTab::focusOrder() const { return {autoUpdates_, checkNow_, reset_}; }

} // namespace velmora
