#include "app/AppDelegate.h"
#include "ui/HostWindow.h"
#include "ui/WindowHelper.h"
#include "localization/LocalizationManager.h"
#include "localization/SupportedLanguage.h"
#include "platform/Platform.h"
#include "fakes/FakeAccessibilityTrust.h"
#include "fakes/ScriptedAlertPresenter.h"
#include "platform/qt/QtAlertPresenter.h"
#include "ui/GeneralTab.h"
#include "settings/InMemorySettingsStore.h"
#include "ui/OnboardingView.h"
#include "ui/PreferencesView.h"
#include "support/CapturedOutput.h"
#include "support/WaitUntil.h"
#include "updates/UpdateManager.h"

#include <QAbstractAnimation>
#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QScopeGuard>
#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

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

// Renders the preferences, the onboarding and every alert in every interface
// language. With VELMORA_SNAPSHOT_DIR set, each screen is also saved there as
// a PNG.

// Every text of a screen fits its control: single-line texts are not cut
// off at the end, wrapped texts and button titles not at the bottom, and no
// control reaches past the window's right edge.
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
        const QSize needed = button->sizeHint();
        if (needed.width() > button->width() || needed.height() > button->height() || outside(button))
            clipped.append(button->text());
    }
    for (QComboBox* combo : window->findChildren<QComboBox*>()) {
        if (combo->isVisibleTo(window) && (combo->sizeHint().width() > combo->width() || outside(combo)))
            clipped.append(combo->currentText());
    }
    return clipped.join(QStringLiteral(" | ")).toStdString();
}

// The texts a person can read on the screen: labels and button titles, in
// which "&&" shows as "&".
QStringList shownTexts(QWidget* window) {
    QStringList texts;
    for (QLabel* label : window->findChildren<QLabel*>())
        if (label->isVisibleTo(window) && !label->text().isEmpty())
            texts.append(label->text());
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>())
        if (button->isVisibleTo(window) && !button->text().isEmpty())
            texts.append(button->text().replace(QStringLiteral("&&"), QStringLiteral("&")));
    return texts;
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

// Every alert Velmora shows, raised by the code that shows it and answered so
// that nothing follows, with the update texts' sample arguments. Named for
// the snapshots, in the order they are raised.
const QStringList alertNames = {
    QStringLiteral("keyboard-access"),   QStringLiteral("onboarding-access"),
    QStringLiteral("icon-hidden"),       QStringLiteral("update-available"),
    QStringLiteral("no-updates"),        QStringLiteral("update-check-failed"),
    QStringLiteral("update-downloaded"), QStringLiteral("update-not-opened"),
    QStringLiteral("debug-info"),
};

QList<Alert> everyAlert() {
    auto alerts = std::make_shared<ScriptedAlertPresenter>();
    auto trust = std::make_shared<FakeAccessibilityTrust>();
    trust->setTrusted(false, QStringLiteral("scripted"));
    Platform platform;
    platform.alerts = alerts;
    platform.accessibility = trust;
    Platform::install(platform);
    const test::CapturedOutput quiet;

    UpdateManager::Dependencies dependencies = UpdateManager::Dependencies::system();
    dependencies.feedAddress = QStringLiteral("http://127.0.0.1:9/version.json");
    dependencies.bundleVersion = [] { return QStringLiteral("1.0.0"); };
    UpdateManager updates(dependencies);
    {
        AppDelegate delegate(updates);
        alerts->answerWith(AlertResponse::secondButton);
        delegate.showAccessibilityAlert();
        OnboardingView onboarding;
        alerts->answerWith(AlertResponse::secondButton);
        onboarding.completeOnboarding();
        GeneralTab general;
        general.showMenuBarHiddenAlert();
        alerts->answerWith(AlertResponse::thirdButton);
        updates.showUpdateAlert({QStringLiteral("Velmora 2.1"), QStringLiteral("2.1.0"),
                                 QStringLiteral("http://127.0.0.1:9/Velmora_Update.deb")});
        updates.showNoUpdatesAlert();
        updates.showErrorAlert(QStringLiteral("Failed to check for updates: Connection refused"));
        updates.showDownloadCompleteAlert(QDir::temp().filePath(QStringLiteral("Velmora_Update.deb")));
        updates.showOpenerFailedAlert(QDir::home().filePath(QStringLiteral("Downloads/Velmora_Update.deb")));
        // Shown once the event loop runs again.
        delegate.showDebugInfo();
        test::waitUntil([&] { return alerts->shown().size() >= alertNames.size(); });
    }
    Platform::install({});
    return alerts->shown();
}

// The offscreen platform warns, for every dialog shown, that it passes no
// size hints on; that says nothing about the dialog.
QtMessageHandler previousMessageHandler = nullptr;
void withoutSizeHintWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!message.contains(QLatin1String("propagateSizeHints")) && previousMessageHandler != nullptr)
        previousMessageHandler(type, context, message);
}

TEST_P(InterfaceLayout, AlertsShowEveryTextWhole) {
    previousMessageHandler = qInstallMessageHandler(withoutSizeHintWarnings);
    const auto restore = qScopeGuard([] { qInstallMessageHandler(previousMessageHandler); });
    const QList<Alert> alerts = everyAlert();
    ASSERT_EQ(alerts.size(), alertNames.size());
    for (qsizetype i = 0; i < alerts.size(); ++i) {
        const Alert& alert = alerts.at(i);
        SCOPED_TRACE(alertNames.at(i).toStdString());
        const std::unique_ptr<QMessageBox> box = QtAlertPresenter::makeBox(alert);
        box->show();
        ASSERT_TRUE(test::waitUntil([&] { return box->isVisible(); }));
        test::settle(50);
        saveSnapshot(box.get(), QStringLiteral("alert-%1-%2").arg(alertNames.at(i), GetParam().rawValue()));
        // What is checked is the alert itself: both texts and every button.
        const QStringList texts = shownTexts(box.get());
        for (const QString& text : QStringList{alert.messageText, alert.informativeText} + alert.buttons)
            EXPECT_TRUE(texts.contains(text)) << text.toStdString() << " is not shown";
        EXPECT_EQ(clippedTexts(box.get()), "");
        box->hide();
    }
}

// Escape and the window's close button answer with the button that leaves
// everything as it is, never with whichever button happens to be last.
TEST(AlertDismissal, EscapeAndCloseAnswerWithTheButtonThatChangesNothing) {
    previousMessageHandler = qInstallMessageHandler(withoutSizeHintWarnings);
    const auto restore = qScopeGuard([] { qInstallMessageHandler(previousMessageHandler); });
    const QList<Alert> alerts = everyAlert();
    ASSERT_EQ(alerts.size(), alertNames.size());
    // Later, later, OK (the icon stays hidden), remind me later, then the
    // single-button and OK-first alerts.
    const int dismissingButton[] = {1, 1, 0, 2, 0, 0, 0, 0, 0};
    QtAlertPresenter presenter;
    for (qsizetype i = 0; i < alerts.size(); ++i) {
        for (const bool escape : {true, false}) {
            SCOPED_TRACE(alertNames.at(i).toStdString() + (escape ? " escape" : " close"));
            QTimer::singleShot(0, [escape] {
                QWidget* box = QApplication::activeModalWidget();
                ASSERT_NE(box, nullptr);
                QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                if (escape)
                    QCoreApplication::sendEvent(box, &press);
                else
                    box->close();
            });
            EXPECT_EQ(presenter.runModal(alerts.at(i)), AlertResponse::firstButton + dismissingButton[i]);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryLanguage, InterfaceLayout, ::testing::ValuesIn(SupportedLanguage::allCases()),
    [](const ::testing::TestParamInfo<SupportedLanguage>& info) {
        return info.param.rawValue().replace(QLatin1Char('-'), QLatin1Char('_')).toStdString();
    });

} // namespace
