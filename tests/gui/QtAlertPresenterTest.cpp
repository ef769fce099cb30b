#include "platform/qt/QtAlertPresenter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

TEST(QtAlertPresenter, BoxShowsTheTextsTheButtonsInOrderAndAnswersWithTheOnePressed) {
    const Alert alert{
        QStringLiteral("Update available"),
        QStringLiteral("Version 2.1.0 is out."),
        AlertStyle::critical,
        {QStringLiteral("Download & Install"), QStringLiteral("Skip"), QStringLiteral("Later")}};
    const std::unique_ptr<QMessageBox> box = QtAlertPresenter::makeBox(alert);
    EXPECT_EQ(box->windowTitle(), "Velmora");
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    EXPECT_EQ(box->defaultButton()->text(), "Download && Install") << "an ampersand shown, not a mnemonic";
    for (const QLabel* label : box->findChildren<QLabel*>())
        if (label->text() == alert.messageText || label->text() == alert.informativeText)
            EXPECT_EQ(label->font().bold(), label->text() == alert.messageText)
                << label->text().toStdString();
    for (int i = 0; i < 3; ++i) {
        // A person presses the i-th button of the box on screen.
        QTimer::singleShot(0, [i] {
            auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(shown, nullptr);
            for (QAbstractButton* button : shown->buttons())
                if (button->property(QtAlertPresenter::responseProperty).toInt() ==
                    AlertResponse::firstButton + i)
                    button->click();
        });
        EXPECT_EQ(QtAlertPresenter().runModal(alert), AlertResponse::firstButton + i);
    }
    const Alert bare{
        QStringLiteral("Debug information"), QStringLiteral("Printed."), AlertStyle::informational, {}};
    EXPECT_EQ(QtAlertPresenter::makeBox(bare)->buttons().size(), 1);
    EXPECT_EQ(QtAlertPresenter::makeBox(bare)->icon(), QMessageBox::Information);
}

} // namespace
