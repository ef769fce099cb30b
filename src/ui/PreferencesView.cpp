#include "ui/PreferencesView.h"

#include "base/ApplicationIdentity.h"
#include "localization/LocalizationKeys.h"
#include "localization/LocalizationManager.h"
#include "settings/Constants.h"
#include "settings/NotificationCenter.h"
#include "ui/AdvancedTab.h"
#include "ui/ExcludedApplicationsList.h"
#include "ui/GeneralTab.h"
#include "ui/PreferencesGeometry.h"
#include "ui/TabButton.h"
#include "ui/ViewStyle.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPropertyAnimation>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace velmora {

namespace {
QString localized(const QString& key) {
    return LocalizationManager::shared().localizedString(key);
}
} // namespace

PreferencesView::PreferencesView(Actions actions, QWidget* parent)
    : QWidget(parent), targetHeight_(PreferencesGeometry::initialTargetHeight),
      displayedHeight_(PreferencesGeometry::initialTargetHeight), scrollArea_(new QScrollArea(this)),
      column_(new QWidget), general_(new GeneralTab(std::move(actions.setAutoLaunch), column_)),
      advanced_(new AdvancedTab(std::move(actions.checkForUpdates), ApplicationIdentity::version(), column_)),
      applications_(new ExcludedApplicationsList(column_)),
      heightAnimation_(new QPropertyAnimation(this, "displayedHeight", this)) {
    applications_->setRunningApplications(std::move(actions.runningApplications));
    setMinimumSize(PreferencesGeometry::minimumViewSize);
    setMaximumSize(PreferencesGeometry::maximumViewSize);

    generalButton_ = new TabButton(
        localized(LocalizationKeys::prefsGeneral), true,
        [this] { selectTab(PreferencesGeometry::generalTab); }, this);
    generalButton_->setObjectName(QStringLiteral("generalTabButton"));
    advancedButton_ = new TabButton(
        localized(LocalizationKeys::prefsAdvanced), false,
        [this] { selectTab(PreferencesGeometry::advancedTab); }, this);
    advancedButton_->setObjectName(QStringLiteral("advancedTabButton"));
    applicationsButton_ = new TabButton(
        localized(LocalizationKeys::prefsApplications), false,
        [this] { selectTab(PreferencesGeometry::applicationsTab); }, this);
    applicationsButton_->setObjectName(QStringLiteral("applicationsTabButton"));

    auto* tabBar = new QHBoxLayout;
    // The selected tab's tint starts where the section headings start.
    tabBar->setContentsMargins(PreferencesGeometry::contentHorizontalPadding, 0,
                               PreferencesGeometry::contentHorizontalPadding, 0);
    tabBar->setSpacing(4);
    tabBar->addWidget(generalButton_);
    tabBar->addWidget(applicationsButton_);
    tabBar->addWidget(advancedButton_);
    tabBar->addStretch();

    auto* columnLayout = new QVBoxLayout(column_);
    columnLayout->setContentsMargins(
        PreferencesGeometry::contentHorizontalPadding, PreferencesGeometry::contentVerticalPadding,
        PreferencesGeometry::contentHorizontalPadding, PreferencesGeometry::contentVerticalPadding);
    columnLayout->setSpacing(0);
    columnLayout->addWidget(general_);
    columnLayout->addWidget(applications_);
    columnLayout->addWidget(advanced_);
    columnLayout->addStretch();
    applications_->hide();
    advanced_->hide();
    column_->setAutoFillBackground(false);
    column_->installEventFilter(this);

    scrollArea_->setWidget(column_);
    scrollArea_->setWidgetResizable(true);
    scrollArea_->setFrameShape(QFrame::NoFrame);
    scrollArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The scroll area is no stop of its own for Tab: its controls are.
    scrollArea_->setFocusPolicy(Qt::NoFocus);
    scrollArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollArea_->viewport()->setAutoFillBackground(false);
    scrollArea_->setFixedHeight(qRound(displayedHeight_));

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(8);
    root->addStretch();
    root->addLayout(tabBar);
    root->addWidget(ViewStyle::makeDivider(this));
    root->addWidget(scrollArea_);
    root->addStretch();

    // Tab follows the layout: the tabs, then the shown tab's controls top to
    // bottom (the hidden tab's are passed over).
    QList<QWidget*> order{generalButton_, applicationsButton_, advancedButton_};
    order += general_->focusOrder() + applications_->focusOrder() + advanced_->focusOrder();
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    heightAnimation_->setDuration(PreferencesGeometry::heightAnimationMs);
    heightAnimation_->setEasingCurve(ViewStyle::easeInOut());

    NotificationCenter::defaultCenter().addObserver(this, Constants::languageDidChangeNotification,
                                                    [this](const QVariant&) { retranslate(); });
}

PreferencesView::~PreferencesView() {
    NotificationCenter::defaultCenter().removeObserver(this);
}

TabButton* PreferencesView::tabButton(int tab) const {
    switch (tab) {
    case PreferencesGeometry::generalTab:
        return generalButton_;
    case PreferencesGeometry::advancedTab:
        return advancedButton_;
    case PreferencesGeometry::applicationsTab:
        return applicationsButton_;
    default:
        return nullptr;
    }
}

void PreferencesView::selectTab(int tab) {
    if (tab == selectedTab_ || tabButton(tab) == nullptr)
        return;
    selectedTab_ = tab;
    generalButton_->setSelected(tab == PreferencesGeometry::generalTab, true);
    advancedButton_->setSelected(tab == PreferencesGeometry::advancedTab, true);
    applicationsButton_->setSelected(tab == PreferencesGeometry::applicationsTab, true);
    // The new content replaces the old one; its height change is measured
    // like any other.
    general_->setVisible(tab == PreferencesGeometry::generalTab);
    advanced_->setVisible(tab == PreferencesGeometry::advancedTab);
    applications_->setVisible(tab == PreferencesGeometry::applicationsTab);
    scrollArea_->verticalScrollBar()->setValue(0);
}

void PreferencesView::setDisplayedHeight(qreal height) {
    displayedHeight_ = height;
    scrollArea_->setFixedHeight(qRound(height));
}

void PreferencesView::updateContentHeight(qreal contentHeight) {
    const std::optional<qreal> target =
        PreferencesGeometry::adjustedTargetHeight(targetHeight_, contentHeight);
    if (!target)
        return;
    targetHeight_ = *target;
    heightAnimation_->stop();
    heightAnimation_->setStartValue(displayedHeight_);
    heightAnimation_->setEndValue(targetHeight_);
    heightAnimation_->start();
    updateGeometry();
    const int windowHeight = qRound(PreferencesGeometry::windowHeight(targetHeight_));
    QTimer::singleShot(PreferencesGeometry::windowResizeDelayMs, this,
                       [this, windowHeight] { resizeWindow(windowHeight); });
}

void PreferencesView::resizeWindow(int height) {
    // The window that hosts this view is the only one it may resize, and only
    // while its title still names the product.
    QWidget* host = window();
    const QString title = host->windowTitle();
    if (!title.contains(localized(LocalizationKeys::appName)) && !title.contains(QStringLiteral("Velmora")))
        return;
    if (windowAnimation_)
        windowAnimation_->stop();
    windowAnimation_ = new QPropertyAnimation(host, "geometry", this);
    windowAnimation_->setDuration(PreferencesGeometry::windowResizeAnimationMs);
    windowAnimation_->setEasingCurve(ViewStyle::easeInOut());
    windowAnimation_->setStartValue(host->geometry());
    windowAnimation_->setEndValue(PreferencesGeometry::resizedGeometry(host->geometry(), height));
    windowAnimation_->start(QAbstractAnimation::DeleteWhenStopped);
}

qreal PreferencesView::measuredContentHeight() const {
    QLayout* layout = column_->layout();
    const int width = scrollArea_->viewport()->width();
    if (layout->hasHeightForWidth() && width > 0)
        return layout->totalHeightForWidth(width);
    return layout->totalSizeHint().height();
}

void PreferencesView::refresh() {
    general_->refresh();
    applications_->refresh();
    advanced_->refresh();
}

void PreferencesView::retranslate() {
    generalButton_->setTitle(localized(LocalizationKeys::prefsGeneral));
    advancedButton_->setTitle(localized(LocalizationKeys::prefsAdvanced));
    applicationsButton_->setTitle(localized(LocalizationKeys::prefsApplications));
    applications_->retranslate();
    general_->retranslate();
    general_->refresh();
}

QSize PreferencesView::sizeHint() const {
    return {PreferencesGeometry::idealViewWidth, qRound(PreferencesGeometry::windowHeight(targetHeight_))};
}

void PreferencesView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!appeared_) {
        appeared_ = true;
        targetHeight_ = PreferencesGeometry::heightForTab(selectedTab_);
        setDisplayedHeight(targetHeight_);
    }
    refresh();
    scheduleMeasurement();
}

void PreferencesView::keyPressEvent(QKeyEvent* event) {
    if (!ViewStyle::clickFocusedButton(this, event))
        QWidget::keyPressEvent(event);
}

bool PreferencesView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == column_ && (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Resize))
        scheduleMeasurement();
    return QWidget::eventFilter(watched, event);
}

void PreferencesView::scheduleMeasurement() {
    if (measurementPending_)
        return;
    measurementPending_ = true;
    QTimer::singleShot(0, this, &PreferencesView::reportContentHeight);
}

void PreferencesView::reportContentHeight() {
    measurementPending_ = false;
    if (!isVisible())
        return;
    const qreal height = measuredContentHeight();
    if (height == lastReportedHeight_)
        return;
    lastReportedHeight_ = height;
    updateContentHeight(height);
}

} // namespace velmora
