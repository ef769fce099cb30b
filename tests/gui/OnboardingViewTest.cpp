#include "ui/OnboardingView.h"
#include "fakes/FakePlatform.h"
#include "localization/LocalizationManager.h"
#include "settings/InMemorySettingsStore.h"
#include "support/WaitUntil.h"
#include "ui/PageSlider.h"
#include "ui/ProgressSegment.h"
#include "ui/ViewStyle.h"

#include <QPushButton>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

struct FinishCase {
    const char* name;
    bool trusted, skip;
    int answer;
    QStringList calls;
    int urlsAtClose, alerts;
};

TEST(OnboardingView, WaysOut) {
    const FinishCase cases[] = {
        {"Skip", false, true, 0, {"close"}, 0, 0},
        {"GetStartedTrusted", true, false, 0, {"monitor", "close"}, 0, 0},
        {"GetStartedUntrustedLater", false, false, AlertResponse::secondButton, {"close"}, 0, 1},
        {"GetStartedUntrustedHelp", false, false, AlertResponse::firstButton, {"close"}, 1, 1},
    };
    SettingsStore::setStandard(std::make_shared<InMemorySettingsStore>());
    for (const FinishCase& row : cases) {
        FakePlatform fakes;
        fakes.trust->setTrusted(row.trusted);
        fakes.alerts->answerWith(row.answer);
        QStringList calls;
        qsizetype urlsAtClose = -1;
        OnboardingView view({[&] { calls.append("monitor"); },
                             [&] { calls.append("close"), urlsAtClose = fakes.machine->openedUrls.size(); }});
        view.show();
        const QColor accent = ViewStyle::accentColor(view.palette());
        EXPECT_NE(view.progressSegment(1)->targetColor(), accent) << row.name;
        view.primaryButton()->click();
        EXPECT_EQ(view.progressSegment(1)->targetColor(), accent) << row.name;
        EXPECT_TRUE(view.backButton()->isVisible()) << row.name;
        EXPECT_TRUE(test::waitUntil([&] { return view.pageSlider()->position() == 1.0; })) << row.name;
        EXPECT_TRUE(calls.isEmpty()) << "moving on never gets started by itself";
        (row.skip ? view.skipButton() : view.primaryButton())->click();
        EXPECT_EQ(calls, row.calls) << row.name;
        EXPECT_EQ(urlsAtClose, row.urlsAtClose) << row.name << ": the help opens before the window closes";
        EXPECT_EQ(fakes.alerts->shown().size(), row.alerts) << row.name;
        view.backButton()->click();
        EXPECT_EQ(view.currentPage(), 0) << row.name;
    }
    SettingsStore::setStandard(nullptr);
}

TEST(OnboardingView, PagesKeepTheirLanguageWhileButtonsFollowTheNewOne) {
    LocalizationManager::shared().setCurrentLanguage(QStringLiteral("en"));
    OnboardingView view;
    const QList<OnboardingPage> english = view.pages();
    LocalizationManager::shared().setCurrentLanguage(QStringLiteral("de"));
    EXPECT_EQ(view.pages(), english);
    EXPECT_EQ(view.primaryButton()->text(), QStringLiteral("Weiter"));
    LocalizationManager::shared().setCurrentLanguage(QStringLiteral("en"));
}

} // namespace
