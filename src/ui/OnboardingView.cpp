#include "ui/OnboardingView.h"

#include "diagnostics/Logger.h"
#include "localization/LocalizationKeys.h"
#include "localization/LocalizationManager.h"
#include "settings/Constants.h"
#include "settings/NotificationCenter.h"
#include "ui/OnboardingPageView.h"
#include "ui/PageSlider.h"
#include "ui/ProgressSegment.h"
#include "ui/ViewStyle.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace velmora {

namespace {

QString localized(const QString& key) {
    return LocalizationManager::shared().localizedString(key);
}

constexpr int sideMargin = 32;

} // namespace

OnboardingView::OnboardingView() : OnboardingView(Actions{}) {}

OnboardingView::OnboardingView(Actions actions, QWidget* parent)
    : QWidget(parent), actions_(std::move(actions)), pages_(makePages()), slider_(new PageSlider(this)),
      back_(new QPushButton(this)), primary_(new QPushButton(this)), skip_(new QPushButton(this)) {
    auto* progress = new QHBoxLayout;
    progress->setContentsMargins(sideMargin, 16, sideMargin, 0);
    progress->setSpacing(4);
    for (qsizetype i = 0; i < pages_.size(); ++i) {
        auto* segment = new ProgressSegment(this);
        segments_.append(segment);
        progress->addWidget(segment);
    }

    for (const OnboardingPage& page : std::as_const(pages_))
        slider_->addPage(new OnboardingPageView(page));

    back_->setObjectName(QStringLiteral("backButton"));
    back_->setAutoDefault(false);
    primary_->setObjectName(QStringLiteral("primaryButton"));
    primary_->setDefault(true);
    ViewStyle::makeProminent(primary_);
    skip_->setObjectName(QStringLiteral("skipButton"));
    ViewStyle::makePlain(skip_);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(sideMargin, 0, sideMargin, 24);
    buttons->addWidget(back_);
    buttons->addStretch();
    buttons->addWidget(primary_);
    buttons->addSpacing(16);
    buttons->addWidget(skip_);

    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addLayout(progress);
    stack->addWidget(slider_, 1);
    stack->addLayout(buttons);

    for (QPushButton* button : {back_, primary_, skip_})
        button->installEventFilter(this);

    connect(back_, &QPushButton::clicked, this, &OnboardingView::goBack);
    connect(primary_, &QPushButton::clicked, this, &OnboardingView::primaryPressed);
    connect(skip_, &QPushButton::clicked, this, &OnboardingView::closeOnboardingWindow);
    NotificationCenter::defaultCenter().addObserver(this, Constants::languageDidChangeNotification,
                                                    [this](const QVariant&) { retranslate(); });

    retranslate();
    updateControls(false);
    // The window opens with the way forward focused.
    primary_->setFocus();
}

OnboardingView::~OnboardingView() {
    NotificationCenter::defaultCenter().removeObserver(this);
}

QList<OnboardingPage> OnboardingView::makePages() {
    return {
        {QStringLiteral("target"),
         localized(LocalizationKeys::welcomeTitle),
         localized(LocalizationKeys::welcomeSubtitle),
         {localized(LocalizationKeys::welcomeFeature1), localized(LocalizationKeys::welcomeFeature2),
          localized(LocalizationKeys::welcomeFeature3)}},
        {QStringLiteral("hand.raised"),
         localized(LocalizationKeys::permissionTitle),
         localized(LocalizationKeys::permissionSubtitle),
         {localized(LocalizationKeys::permissionFeature1), localized(LocalizationKeys::permissionFeature2),
          localized(LocalizationKeys::permissionFeature3), localized(LocalizationKeys::permissionFeature4)}},
    };
}

void OnboardingView::goBack() {
    if (currentPage_ >= 1)
        showPage(currentPage_ - 1);
}

void OnboardingView::goForward() {
    if (currentPage_ < pages_.size() - 1)
        showPage(currentPage_ + 1);
}

void OnboardingView::showPage(int page) {
    currentPage_ = page;
    slider_->setCurrentIndex(page, true);
    updateControls(true);
}

void OnboardingView::primaryPressed() {
    if (currentPage_ >= pages_.size() - 1)
        completeOnboarding();
    else
        goForward();
}

void OnboardingView::completeOnboarding() {
    if (permissions().checkPermission()) {
        if (actions_.startKeyboardMonitoring)
            actions_.startKeyboardMonitoring();
        closeOnboardingWindow();
        return;
    }
    showPermissionAlert();
}

void OnboardingView::showPermissionAlert() {
    showingPermissionAlert_ = true;
    const QPointer<OnboardingView> self(this);
    const int response = permissions().explainMissingAccess(
        LocalizationKeys::enableAccessibilityAlertTitle, LocalizationKeys::enableAccessibilityAlertMessage);
    if (!self)
        return;
    showingPermissionAlert_ = false;
    // Without a presenter no alert was shown, and nothing was answered.
    if (response != 0)
        closeOnboardingWindow();
}

void OnboardingView::closeOnboardingWindow() {
    if (actions_.closeWindow)
        actions_.closeWindow();
}

void OnboardingView::retranslate() {
    back_->setText(localized(LocalizationKeys::back));
    skip_->setText(localized(LocalizationKeys::skip));
    primary_->setText(currentPage_ >= pages_.size() - 1 ? localized(LocalizationKeys::getStarted)
                                                        : localized(LocalizationKeys::continueButton));
}

QColor OnboardingView::segmentColor(int index) const {
    if (index <= currentPage_)
        return ViewStyle::accentColor(palette());
    QColor grey(Qt::gray);
    grey.setAlphaF(0.3);
    return grey;
}

void OnboardingView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange)
        updateControls(false);
    QWidget::changeEvent(event);
}

void OnboardingView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        closeOnboardingWindow();
    else if (!ViewStyle::clickFocusedButton(this, event))
        QWidget::keyPressEvent(event);
}

bool OnboardingView::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show || type == QEvent::Hide) &&
        !buttonsTracePending_) {
        buttonsTracePending_ = true;
        QTimer::singleShot(0, this, &OnboardingView::traceButtons);
    }
    return QWidget::eventFilter(watched, event);
}

void OnboardingView::traceButtons() {
    buttonsTracePending_ = false;
    QStringList places{QStringLiteral("window %1x%2").arg(window()->width()).arg(window()->height())};
    for (const QPushButton* button : {back_, primary_, skip_}) {
        const QPoint at = button->mapTo(window(), QPoint(0, 0));
        places.append(button->objectName() + (button->isVisible() ? QStringLiteral(" %1,%2 %3x%4")
                                                                        .arg(at.x())
                                                                        .arg(at.y())
                                                                        .arg(button->width())
                                                                        .arg(button->height())
                                                                  : QStringLiteral(" hidden")));
    }
    Logger::log(QStringLiteral("Onboarding layout: ") + places.join(QStringLiteral(", ")));
}

void OnboardingView::updateControls(bool animated) {
    back_->setVisible(currentPage_ >= 1);
    retranslate();
    for (int i = 0; i < segments_.size(); ++i)
        segments_[i]->setTargetColor(segmentColor(i), animated);
}

} // namespace velmora
