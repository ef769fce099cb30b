#include "ui/OnboardingView.h"
#include "localization/LocalizationKeys.h"
#include "localization/LocalizationManager.h"
#include "platform/Platform.h"
#include "fakes/FakeAccessibilityTrust.h"
#include "fakes/FakeMachine.h"
#include "fakes/ScriptedAlertPresenter.h"
#include "settings/InMemorySettingsStore.h"
#include "ui/OnboardingPageView.h"
#include "ui/PageSlider.h"
#include "ui/ProgressSegment.h"
#include "ui/ViewStyle.h"
#include "support/CapturedOutput.h"
#include "support/WaitUntil.h"

#include <QLabel>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QVariantAnimation>

#include <gtest/gtest.h>

#include <memory>

using namespace velmora;

namespace {

QString localized(const QString& key) { return LocalizationManager::shared().localizedString(key); }

class OnboardingViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        SettingsStore::setStandard(store);
        LocalizationManager::shared().setCurrentLanguage(QStringLiteral("en"));
        Platform platform;
        platform.accessibility = trust;
        platform.alerts = alerts;
        platform.workspace = machine;
        Platform::install(platform);
    }
    void TearDown() override {
        view.reset();
        LocalizationManager::shared().setCurrentLanguage(QStringLiteral("en"));
        Platform::install({});
        SettingsStore::setStandard(nullptr);
    }
    OnboardingView& make() {
        view = std::make_unique<OnboardingView>(
            OnboardingView::Actions{[this] { calls.append(QStringLiteral("startKeyboardMonitoring")); },
                                    [this] {
                                        calls.append(QStringLiteral("closeWindow"));
                                        urlsOpenedAtClose = machine->openedUrls.size();
                                    }});
        view->show();
        return *view;
    }
    QColor grey() const {
        QColor color(Qt::gray);
        color.setAlphaF(0.3);
        return color;
    }
    QColor accent() const { return ViewStyle::accentColor(view->palette()); }

    std::shared_ptr<InMemorySettingsStore> store = std::make_shared<InMemorySettingsStore>();
    std::shared_ptr<FakeAccessibilityTrust> trust = std::make_shared<FakeAccessibilityTrust>();
    std::shared_ptr<ScriptedAlertPresenter> alerts = std::make_shared<ScriptedAlertPresenter>();
    std::shared_ptr<FakeMachine> machine = std::make_shared<FakeMachine>();
    std::unique_ptr<OnboardingView> view;
    QStringList calls;
    qsizetype urlsOpenedAtClose = -1;
};

// The pages.

TEST_F(OnboardingViewTest, TwoPagesWithTheirSymbolsAndLocalizedTexts) {
    const QList<OnboardingPage> pages = OnboardingView::makePages();
    ASSERT_EQ(pages.size(), 2);
    EXPECT_EQ(pages[0], (OnboardingPage{QStringLiteral("target"),
                                        localized(LocalizationKeys::welcomeTitle),
                                        localized(LocalizationKeys::welcomeSubtitle),
                                        {localized(LocalizationKeys::welcomeFeature1),
                                         localized(LocalizationKeys::welcomeFeature2),
                                         localized(LocalizationKeys::welcomeFeature3)}}));
    EXPECT_EQ(pages[1], (OnboardingPage{QStringLiteral("hand.raised"),
                                        localized(LocalizationKeys::permissionTitle),
                                        localized(LocalizationKeys::permissionSubtitle),
                                        {localized(LocalizationKeys::permissionFeature1),
                                         localized(LocalizationKeys::permissionFeature2),
                                         localized(LocalizationKeys::permissionFeature3),
                                         localized(LocalizationKeys::permissionFeature4)}}));
    EXPECT_NE(pages[0].title, LocalizationKeys::welcomeTitle) << "looked up, not the key";
}

TEST_F(OnboardingViewTest, EachPageViewShowsItsPage) {
    OnboardingView& onboarding = make();
    ASSERT_EQ(onboarding.pageSlider()->count(), 2);
    for (int i = 0; i < 2; ++i) {
        auto* page = qobject_cast<OnboardingPageView*>(onboarding.pageSlider()->page(i));
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->page(), onboarding.pages()[i]);
        EXPECT_EQ(page->findChild<QLabel*>(QStringLiteral("pageTitle"))->text(), onboarding.pages()[i].title);
        QStringList features;
        for (const QLabel* line : page->findChildren<QLabel*>(QStringLiteral("pageFeature")))
            features.append(line->text());
        EXPECT_EQ(features, onboarding.pages()[i].features);
    }
    EXPECT_EQ(onboarding.size(), QSize(500, 600));
}

TEST_F(OnboardingViewTest, PagesKeepTheirLanguageWhileButtonsFollowTheNewOne) {
    OnboardingView& onboarding = make();
    const QList<OnboardingPage> englishPages = onboarding.pages();
    LocalizationManager::shared().setCurrentLanguage(QStringLiteral("de"));
    EXPECT_EQ(onboarding.pages(), englishPages);
    auto* firstPage = onboarding.pageSlider()->page(0);
    EXPECT_EQ(firstPage->findChild<QLabel*>(QStringLiteral("pageTitle"))->text(),
              QStringLiteral("Welcome to Velmora"));
    EXPECT_EQ(onboarding.primaryButton()->text(), QStringLiteral("Weiter"));
    EXPECT_EQ(onboarding.skipButton()->text(), QStringLiteral("Überspringen"));
    EXPECT_EQ(onboarding.backButton()->text(), QStringLiteral("Zurück"));
}

// Moving between the pages.

TEST_F(OnboardingViewTest, FirstPageOffersContinueAndSkipWithTheFirstBarLit) {
    OnboardingView& onboarding = make();
    EXPECT_EQ(onboarding.currentPage(), 0);
    EXPECT_FALSE(onboarding.backButton()->isVisible());
    EXPECT_TRUE(onboarding.primaryButton()->isVisible());
    EXPECT_EQ(onboarding.primaryButton()->text(), localized(LocalizationKeys::continueButton));
    EXPECT_TRUE(onboarding.skipButton()->isVisible());
    EXPECT_EQ(onboarding.skipButton()->text(), localized(LocalizationKeys::skip));
    EXPECT_EQ(onboarding.progressSegment(0)->color(), accent());
    EXPECT_EQ(onboarding.progressSegment(1)->color(), grey());
}

TEST_F(OnboardingViewTest, ContinueReachesTheLastPageWhichOffersBackGetStartedAndSkip) {
    OnboardingView& onboarding = make();
    onboarding.primaryButton()->click();
    EXPECT_EQ(onboarding.currentPage(), 1);
    EXPECT_TRUE(onboarding.backButton()->isVisible());
    EXPECT_EQ(onboarding.backButton()->text(), localized(LocalizationKeys::back));
    EXPECT_EQ(onboarding.primaryButton()->text(), localized(LocalizationKeys::getStarted));
    EXPECT_TRUE(onboarding.skipButton()->isVisible());
    EXPECT_EQ(onboarding.progressSegment(0)->targetColor(), accent());
    EXPECT_EQ(onboarding.progressSegment(1)->targetColor(), accent());
    EXPECT_EQ(onboarding.progressSegment(1)->animation()->duration(), 300);
    EXPECT_TRUE(test::waitUntil([&] { return onboarding.progressSegment(1)->color() == accent(); }));
    EXPECT_TRUE(test::waitUntil([&] { return onboarding.pageSlider()->position() == 1.0; }));
    EXPECT_FALSE(onboarding.pageSlider()->page(0)->isVisible());
    EXPECT_TRUE(onboarding.pageSlider()->page(1)->isVisible());
    EXPECT_TRUE(calls.isEmpty());
}

TEST_F(OnboardingViewTest, BackReturnsToTheFirstPage) {
    OnboardingView& onboarding = make();
    onboarding.primaryButton()->click();
    onboarding.backButton()->click();
    EXPECT_EQ(onboarding.currentPage(), 0);
    EXPECT_FALSE(onboarding.backButton()->isVisible());
    EXPECT_EQ(onboarding.primaryButton()->text(), localized(LocalizationKeys::continueButton));
    EXPECT_EQ(onboarding.progressSegment(1)->targetColor(), grey());
    EXPECT_EQ(onboarding.pageSlider()->currentIndex(), 0);
}

TEST_F(OnboardingViewTest, PageStaysWithinTheFirstAndTheLast) {
    OnboardingView& onboarding = make();
    onboarding.goBack();
    EXPECT_EQ(onboarding.currentPage(), 0);
    onboarding.goForward();
    onboarding.goForward();
    EXPECT_EQ(onboarding.currentPage(), 1);
    EXPECT_TRUE(calls.isEmpty()) << "moving on never gets started by itself";
}

// Ways out.

TEST_F(OnboardingViewTest, SkipOnEitherPageOnlyClosesTheWindow) {
    for (const int page : {0, 1}) {
        SCOPED_TRACE(page);
        calls.clear();
        test::CapturedOutput output;
        OnboardingView& onboarding = make();
        const int checksBefore = trust->checkCount();
        const QStringList keysBefore = store->allKeys();
        if (page == 1)
            onboarding.goForward();
        onboarding.skipButton()->click();
        EXPECT_EQ(calls, QStringList{"closeWindow"});
        EXPECT_EQ(trust->checkCount(), checksBefore);
        EXPECT_TRUE(alerts->shown().isEmpty());
        EXPECT_EQ(store->allKeys(), keysBefore);
        EXPECT_TRUE(output.lines().isEmpty());
    }
}

TEST_F(OnboardingViewTest, GetStartedWithAccessStartsMonitoringThenCloses) {
    trust->setTrusted(true);
    OnboardingView& onboarding = make();
    onboarding.goForward();
    test::CapturedOutput output;
    onboarding.primaryButton()->click();
    EXPECT_EQ(calls, (QStringList{"startKeyboardMonitoring", "closeWindow"}));
    EXPECT_TRUE(alerts->shown().isEmpty());
    EXPECT_EQ(output.linesStartingWith(QStringLiteral("🔐 Accessibility Permission: ")),
              QStringList{"🔐 Accessibility Permission: ✅ Granted"});
}

TEST_F(OnboardingViewTest, GetStartedWithoutAccessExplainsAndLaterOnlyCloses) {
    trust->setTrusted(false);
    OnboardingView& onboarding = make();
    onboarding.goForward();
    bool showingWhileUp = false;
    alerts->whileShowing([&](const Alert&) { showingWhileUp = onboarding.isShowingPermissionAlert(); });
    alerts->answerWith(AlertResponse::secondButton);
    onboarding.completeOnboarding();

    ASSERT_EQ(alerts->shown().size(), 1);
    const Alert& alert = alerts->shown().first();
    EXPECT_EQ(alert.messageText, localized(LocalizationKeys::enableAccessibilityAlertTitle));
    EXPECT_EQ(alert.informativeText, localized(LocalizationKeys::enableAccessibilityAlertMessage));
    EXPECT_EQ(alert.buttons,
              (QStringList{localized(LocalizationKeys::openSettings), localized(LocalizationKeys::later)}));
    EXPECT_TRUE(showingWhileUp);
    EXPECT_FALSE(onboarding.isShowingPermissionAlert());
    EXPECT_EQ(calls, QStringList{"closeWindow"});
    EXPECT_TRUE(machine->openedUrls.isEmpty());
    EXPECT_EQ(onboarding.currentPage(), 1);
}

TEST_F(OnboardingViewTest, GetStartedWithoutAccessCanOpenTheHelpBeforeClosing) {
    trust->setTrusted(false);
    OnboardingView& onboarding = make();
    onboarding.goForward();
    alerts->answerWith(AlertResponse::firstButton);
    onboarding.primaryButton()->click();
    EXPECT_EQ(machine->openedUrls.size(), 1);
    EXPECT_EQ(urlsOpenedAtClose, 1) << "the help opens before the window closes";
    EXPECT_EQ(calls, QStringList{"closeWindow"});
}

TEST_F(OnboardingViewTest, WithoutTheApplicationTheStepsThatNeedItAreSkipped) {
    trust->setTrusted(true);
    OnboardingView onboarding;
    onboarding.goForward();
    onboarding.primaryButton()->click();
    onboarding.skipButton()->click();
    EXPECT_EQ(onboarding.currentPage(), 1);
    EXPECT_TRUE(alerts->shown().isEmpty());
}

} // namespace
