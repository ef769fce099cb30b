#include "app/HostWindow.h"
#include "app/WindowHelper.h"
#include "localization/LocalizationManager.h"
#include "localization/SupportedLanguage.h"
#include "settings/InMemorySettingsStore.h"
#include "settings/OnboardingView.h"
#include "settings/PreferencesView.h"
#include "support/WaitUntil.h"

#include <QAbstractAnimation>
#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QLabel>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

using namespace velmora;

namespace velmora {
void PrintTo(const SupportedLanguage& language, std::ostream* out) {
    *out << language.rawValue().toStdString();
}
} // namespace velmora

namespace {

// Renders the preferences and the onboarding in every interface language.
// With VELMORA_SNAPSHOT_DIR set, each screen is also saved there as a PNG.

// Every text of a screen fits its control: single-line texts are not cut
// off at the end, wrapped texts not at the bottom, and no control reaches
// past the window's right edge.
std::string clippedTexts(QWidget* window) {
    QStringList clipped;
    const auto outside = [&](QWidget* widget) {
        return widget->mapTo(window, QPoint(widget->width(), 0)).x() > window->width();
    };
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(window) || label->text().isEmpty())
            continue;
        const bool fits = label->wordWrap() ? label->heightForWidth(label->width()) <= label->height()
                                            : label->sizeHint().width() <= label->width();
        if (!fits || outside(label))
            clipped.append(label->text());
    }
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(window) || button->text().isEmpty())
            continue;
        if (button->sizeHint().width() > button->width() || outside(button))
            clipped.append(button->text());
    }
    for (QComboBox* combo : window->findChildren<QComboBox*>()) {
        if (combo->isVisibleTo(window) && (combo->sizeHint().width() > combo->width() || outside(combo)))
            clipped.append(combo->currentText());
    }
    return clipped.join(QStringLiteral(" | ")).toStdString();
}

void saveSnapshot(QWidget* window, const QString& name) {
    const QString directory = qEnvironmentVariable("VELMORA_SNAPSHOT_DIR");
    if (!directory.isEmpty())
        window->grab().save(QDir(directory).filePath(name + QStringLiteral(".png")));
}

class InterfaceLayout : public ::testing::TestWithParam<SupportedLanguage> {
protected:
    void SetUp() override {
        SettingsStore::setStandard(store);
        LocalizationManager::shared().setCurrentLanguage(GetParam().rawValue());
    }
    void TearDown() override {
        LocalizationManager::shared().setCurrentLanguage(QStringLiteral("en"));
        SettingsStore::setStandard(nullptr);
    }
    static bool settled(QWidget* window) {
        const auto animations = window->findChildren<QAbstractAnimation*>();
        return std::none_of(animations.begin(), animations.end(), [](const QAbstractAnimation* animation) {
            return animation->state() == QAbstractAnimation::Running;
        });
    }

    std::shared_ptr<InMemorySettingsStore> store = std::make_shared<InMemorySettingsStore>();
};

TEST_P(InterfaceLayout, PreferencesTabsShowEveryTextWhole) {
    auto* view = new PreferencesView;
    std::unique_ptr<HostWindow> window(
        WindowHelper::createWindow(QStringLiteral("Velmora"), view, nullptr, 600, 360));
    window->show();
    test::settle(200);
    ASSERT_TRUE(test::waitUntil([&] { return settled(window.get()); }));
    saveSnapshot(window.get(), QStringLiteral("preferences-general-") + GetParam().rawValue());
    EXPECT_EQ(clippedTexts(window.get()), "");

    // As narrow as the window may be made.
    window->resize(WindowHelper::minimumSize.width(), window->height());
    test::settle(200);
    ASSERT_TRUE(test::waitUntil([&] { return settled(window.get()); }));
    EXPECT_EQ(clippedTexts(window.get()), "") << "at the narrowest width";

    view->selectTab(1);
    test::settle(200);
    ASSERT_TRUE(test::waitUntil([&] { return settled(window.get()); }));
    saveSnapshot(window.get(), QStringLiteral("preferences-advanced-") + GetParam().rawValue());
    EXPECT_EQ(clippedTexts(window.get()), "");
}

TEST_P(InterfaceLayout, OnboardingPagesShowEveryTextWhole) {
    auto* view = new OnboardingView;
    std::unique_ptr<HostWindow> window(
        WindowHelper::createWindow(QStringLiteral("Onboarding"), view, nullptr, 500, 600));
    window->show();
    test::settle(100);
    saveSnapshot(window.get(), QStringLiteral("onboarding-1-") + GetParam().rawValue());
    EXPECT_EQ(clippedTexts(window.get()), "");

    view->goForward();
    ASSERT_TRUE(test::waitUntil([&] { return settled(window.get()); }));
    saveSnapshot(window.get(), QStringLiteral("onboarding-2-") + GetParam().rawValue());
    EXPECT_EQ(clippedTexts(window.get()), "");
}

INSTANTIATE_TEST_SUITE_P(
    EveryLanguage, InterfaceLayout, ::testing::ValuesIn(SupportedLanguage::allCases()),
    [](const ::testing::TestParamInfo<SupportedLanguage>& info) {
        return info.param.rawValue().replace(QLatin1Char('-'), QLatin1Char('_')).toStdString();
    });

} // namespace
