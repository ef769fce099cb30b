#include "app/AppDelegate.h"
#include "fakes/FakePlatform.h"
#include "localization/LocalizationManager.h"
#include "localization/SupportedLanguage.h"
#include "platform/qt/QtAlertPresenter.h"
#include "settings/InMemorySettingsStore.h"
#include "support/CapturedOutput.h"
#include "support/WaitUntil.h"
#include "ui/GeneralTab.h"
#include "ui/HostWindow.h"
#include "ui/OnboardingView.h"
#include "ui/PreferencesGeometry.h"
#include "ui/PreferencesView.h"
#include "ui/WindowHelper.h"

#include <QAbstractAnimation>
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTimer>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

// Waits until the window has laid out and no animation runs any more.
void showSettled(QWidget* window) {
    window->show();
    bool laidOut = false;
    QTimer::singleShot(PreferencesGeometry::windowResizeDelayMs, [&] { laidOut = true; });
    ASSERT_TRUE(test::waitUntil([&] {
        const auto animations = window->findChildren<QAbstractAnimation*>();
        return laidOut && std::none_of(animations.begin(), animations.end(), [](auto* animation) {
                   return animation->state() == QAbstractAnimation::Running;
               });
    }));
}

// The texts a person can read ("&&" shows as "&"), each marked "✂" where
// its control cuts it off or reaches past the window's right edge.
QStringList shownTexts(QWidget* window) {
    QStringList texts;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window))
            continue;
        const auto* label = qobject_cast<QLabel*>(widget);
        const auto* button = qobject_cast<QAbstractButton*>(widget);
        const auto* combo = qobject_cast<QComboBox*>(widget);
        const QString text = label    ? label->text()
                             : button ? button->text().replace("&&", "&")
                             : combo  ? combo->currentText()
                                      : QString();
        if (text.isEmpty())
            continue;
        const QSize needed = widget->sizeHint();
        const bool cut = label && label->wordWrap() ? label->heightForWidth(label->width()) > label->height()
                                                    : needed.width() > widget->width() ||
                                                          (button && needed.height() > widget->height());
        const bool outside = widget->mapTo(window, QPoint(widget->width(), 0)).x() > window->width();
        texts.append(cut || outside ? "✂" + text : text);
    }
    return texts;
}

QStringList clipped(QWidget* window) {
    return shownTexts(window).filter(QRegularExpression("^✂"));
}

// Every alert Velmora shows, raised by the code that shows it, and the
// button that Escape and the close button answer with: the one that leaves
// everything as it is (later, later, OK: the icon stays hidden, remind me later).
QList<std::pair<Alert, int>> everyAlert() {
    FakePlatform fakes;
    fakes.trust->setTrusted(false, QStringLiteral("scripted"));
    const test::CapturedOutput quiet;
    auto dependencies = UpdateManager::Dependencies::system();
    dependencies.bundleVersion = [] { return QStringLiteral("1.0.0"); };
    UpdateManager updates(dependencies);
    {
        AppDelegate delegate(updates);
        delegate.showAccessibilityAlert();
        OnboardingView().completeOnboarding();
        GeneralTab().showMenuBarHiddenAlert();
        fakes.alerts->answerWith(AlertResponse::thirdButton);
        updates.showUpdateAlert({"Velmora 2.1", "2.1.0", "http://127.0.0.1:9/Velmora_Update.deb"});
        updates.showNoUpdatesAlert();
        updates.showErrorAlert(QStringLiteral("Failed to check for updates: Connection refused"));
        updates.showDownloadCompleteAlert(QDir::temp().filePath(QStringLiteral("Velmora_Update.deb")));
        updates.showOpenerFailedAlert(QDir::home().filePath(QStringLiteral("Downloads/Velmora_Update.deb")));
        delegate.showDebugInfo(); // shown once the event loop runs again
        EXPECT_TRUE(test::waitUntil([&] { return fakes.alerts->shown().size() == 9; }));
    }
    const int dismissing[] = {1, 1, 0, 2, 0, 0, 0, 0, 0};
    QList<std::pair<Alert, int>> alerts;
    for (qsizetype i = 0; i < fakes.alerts->shown().size(); ++i)
        alerts.append({fakes.alerts->shown().at(i), AlertResponse::firstButton + dismissing[i]});
    return alerts;
}

// The offscreen platform warns, for every dialog shown, that it passes no
// size hints on; that says nothing about the dialog.
void withoutSizeHintWarnings(QtMsgType, const QMessageLogContext&, const QString& message) {
    if (!message.contains(QLatin1String("propagateSizeHints")))
        fprintf(stderr, "%s\n", qPrintable(message));
}

class InterfaceLayout : public ::testing::TestWithParam<SupportedLanguage> {
protected:
    void SetUp() override {
        SettingsStore::setStandard(std::make_shared<InMemorySettingsStore>());
        LocalizationManager::shared().setCurrentLanguage(GetParam().rawValue());
        previous = qInstallMessageHandler(withoutSizeHintWarnings);
    }
    void TearDown() override {
        qInstallMessageHandler(previous);
        LocalizationManager::shared().setCurrentLanguage(QStringLiteral("en"));
        SettingsStore::setStandard(nullptr);
    }
    QtMessageHandler previous = nullptr;
};

TEST_P(InterfaceLayout, EveryScreenShowsEveryTextWhole) {
    auto* preferences = new PreferencesView;
    const std::unique_ptr<HostWindow> window(
        WindowHelper::createWindow("Velmora", preferences, nullptr, 600, 360));
    for (const int width : {600, WindowHelper::minimumSize.width()}) {
        window->resize(width, window->height());
        showSettled(window.get());
        EXPECT_EQ(clipped(window.get()), QStringList()) << "general tab, width " << width;
    }
    preferences->selectTab(PreferencesGeometry::advancedTab);
    showSettled(window.get());
    EXPECT_EQ(clipped(window.get()), QStringList()) << "advanced tab";
    OnboardingView onboarding;
    onboarding.resize(500, 600);
    for (int page = 0; page < 2; ++page, onboarding.goForward()) {
        showSettled(&onboarding);
        EXPECT_EQ(clipped(&onboarding), QStringList()) << "onboarding page " << page;
    }
    for (const auto& [alert, dismissing] : everyAlert()) {
        const std::unique_ptr<QMessageBox> box = QtAlertPresenter::makeBox(alert);
        showSettled(box.get());
        const QStringList texts = shownTexts(box.get());
        for (const QString& text : QStringList{alert.messageText, alert.informativeText} + alert.buttons)
            EXPECT_TRUE(texts.contains(text)) << text.toStdString() << " is not shown whole";
    }
}

INSTANTIATE_TEST_SUITE_P(EveryLanguage, InterfaceLayout, ::testing::ValuesIn(SupportedLanguage::allCases()),
                         [](const auto& info) {
                             return info.param.rawValue().replace('-', '_').toStdString();
                         });

// Escape and the window's close button, used on the real alert.
TEST(AlertDismissal, EscapeAndCloseAnswerWithTheButtonThatChangesNothing) {
    SettingsStore::setStandard(std::make_shared<InMemorySettingsStore>());
    const QtMessageHandler previous = qInstallMessageHandler(withoutSizeHintWarnings);
    for (const auto& [alert, dismissing] : everyAlert())
        for (const bool escape : {true, false}) {
            QTimer::singleShot(0, [escape] {
                QWidget* box = QApplication::activeModalWidget();
                ASSERT_NE(box, nullptr);
                QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                escape ? (void)QCoreApplication::sendEvent(box, &press) : (void)box->close();
            });
            EXPECT_EQ(QtAlertPresenter().runModal(alert), dismissing)
                << alert.messageText.toStdString() << escape;
        }
    qInstallMessageHandler(previous);
    SettingsStore::setStandard(nullptr);
}

} // namespace
