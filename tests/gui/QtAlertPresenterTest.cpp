#include "platform/qt/QtAlertPresenter.h"
#include "support/WaitUntil.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMap>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace velmora;

namespace {

const Alert threeButtons{QStringLiteral("Update available"),
                         QStringLiteral("Version 2.1.0 is out."),
                         AlertStyle::warning,
                         {QStringLiteral("Download"), QStringLiteral("Skip"), QStringLiteral("Later")}};

// Button titles in the order of the codes they answer with.
QStringList titlesByResponse(const QMessageBox& box) {
    QMap<int, QString> byResponse;
    for (QAbstractButton* button : box.buttons())
        byResponse.insert(button->property(QtAlertPresenter::responseProperty).toInt(), button->text());
    QStringList titles;
    for (auto it = byResponse.cbegin(); it != byResponse.cend(); ++it) {
        if (it.key() != AlertResponse::firstButton + titles.size())
            return {QStringLiteral("codes not consecutive from 1000")};
        titles.append(it.value());
    }
    return titles;
}

// Runs `act` on the modal box once it is up, then returns runModal's answer.
int answer(const Alert& alert, const std::function<void(QMessageBox&)>& act) {
    bool acted = false;
    std::function<void()> poll;
    poll = [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            acted = true;
            act(*box);
        } else {
            QTimer::singleShot(10, poll);
        }
    };
    QTimer::singleShot(0, poll);
    const int response = QtAlertPresenter().runModal(alert);
    EXPECT_TRUE(acted);
    return response;
}

// Presses the button with this title; closes the box when there is none.
std::function<void(QMessageBox&)> press(const QString& title) {
    return [title](QMessageBox& box) {
        for (QAbstractButton* button : box.buttons())
            if (button->text() == title) {
                button->click();
                return;
            }
        box.close();
    };
}

} // namespace

TEST(QtAlertPresenter, BoxShowsBothTextsAndTheButtonsInTheirOrder) {
    const std::unique_ptr<QMessageBox> box = QtAlertPresenter::makeBox(threeButtons);
    EXPECT_EQ(box->windowTitle(), "Velmora");
    EXPECT_EQ(box->text(), threeButtons.messageText);
    EXPECT_EQ(box->informativeText(), threeButtons.informativeText);
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(titlesByResponse(*box), threeButtons.buttons);
    ASSERT_NE(box->defaultButton(), nullptr);
    EXPECT_EQ(box->defaultButton()->text(), "Download");
    EXPECT_FALSE(box->isVisible());
}

TEST(QtAlertPresenter, HeadlineIsBoldAndTheExplanationIsNot) {
    const std::unique_ptr<QMessageBox> box = QtAlertPresenter::makeBox(threeButtons);
    int headlines = 0;
    int explanations = 0;
    for (const QLabel* label : box->findChildren<QLabel*>()) {
        if (label->text() == threeButtons.messageText) {
            ++headlines;
            EXPECT_TRUE(label->font().bold());
        } else if (label->text() == threeButtons.informativeText) {
            ++explanations;
            EXPECT_FALSE(label->font().bold());
        }
    }
    EXPECT_EQ(headlines, 1);
    EXPECT_EQ(explanations, 1);
}

TEST(QtAlertPresenter, AmpersandInAButtonTitleIsShownNotTakenForAMnemonic) {
    const Alert alert{QStringLiteral("Update"),
                      QStringLiteral("Ready."),
                      AlertStyle::warning,
                      {QStringLiteral("Download & Install"), QStringLiteral("Later")}};
    const std::unique_ptr<QMessageBox> box = QtAlertPresenter::makeBox(alert);
    EXPECT_EQ(titlesByResponse(*box), (QStringList{"Download && Install", "Later"}));
    EXPECT_EQ(answer(alert, press("Download && Install")), AlertResponse::firstButton);
}

TEST(QtAlertPresenter, StyleChoosesTheIcon) {
    Alert alert = threeButtons;
    alert.style = AlertStyle::informational;
    EXPECT_EQ(QtAlertPresenter::makeBox(alert)->icon(), QMessageBox::Information);
    alert.style = AlertStyle::critical;
    EXPECT_EQ(QtAlertPresenter::makeBox(alert)->icon(), QMessageBox::Critical);
}

TEST(QtAlertPresenter, AlertWithoutButtonsGetsOk) {
    const Alert alert{
        QStringLiteral("Debug information"), QStringLiteral("Printed."), AlertStyle::informational, {}};
    const std::unique_ptr<QMessageBox> box = QtAlertPresenter::makeBox(alert);
    EXPECT_EQ(titlesByResponse(*box), QStringList{"OK"});
    EXPECT_EQ(answer(alert, press("OK")), AlertResponse::firstButton);
}

TEST(QtAlertPresenter, RunModalAnswersWithTheCodeOfTheButtonPressed) {
    for (int i = 0; i < 3; ++i) {
        const QString title = threeButtons.buttons.at(i);
        EXPECT_EQ(answer(threeButtons, press(title)), AlertResponse::firstButton + i) << title.toStdString();
    }
}
