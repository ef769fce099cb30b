#include "platform/qt/QtAlertPresenter.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace velmora {

namespace {
QMessageBox::Icon iconFor(AlertStyle style) {
    switch (style) {
    case AlertStyle::informational:
        return QMessageBox::Information;
    case AlertStyle::critical:
        return QMessageBox::Critical;
    case AlertStyle::warning:
        break;
    }
    return QMessageBox::Warning;
}
// Wide enough that an explanation reads as a paragraph, not a narrow column.
constexpr int informativeTextCharacters = 50;

} // namespace

std::unique_ptr<QMessageBox> QtAlertPresenter::makeBox(const Alert& alert) {
    auto box = std::make_unique<QMessageBox>();
    box->setWindowTitle(QStringLiteral("Velmora"));
    box->setText(alert.messageText);
    box->setInformativeText(alert.informativeText);
    box->setIcon(iconFor(alert.style));
    // Texts may carry what the update feed or the network said: markup in them
    // is shown, never followed (a link would lead around the package check).
    box->setTextFormat(Qt::PlainText);
    // The message is the alert's headline; the informative text explains it.
    if (auto* message = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        QFont bold = message->font();
        bold.setBold(true);
        message->setFont(bold);
    }
    if (auto* informative = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"))) {
        informative->setTextFormat(Qt::PlainText);
        informative->setMinimumWidth(informative->fontMetrics().averageCharWidth() *
                                     informativeTextCharacters);
    }
    const QStringList titles = alert.buttons.isEmpty() ? QStringList{QStringLiteral("OK")} : alert.buttons;
    QPushButton* first = nullptr;
    QPushButton* dismissing = nullptr;
    for (qsizetype i = 0; i < titles.size(); ++i) {
        // Roles keep the platform's button order predictable: the first is
        // the accepting one, the last the dismissing one.
        const QMessageBox::ButtonRole role = i == 0                   ? QMessageBox::AcceptRole
                                             : i == titles.size() - 1 ? QMessageBox::RejectRole
                                                                      : QMessageBox::ActionRole;
        // A button reads "&" as a mnemonic mark; titles are plain text.
        QPushButton* button =
            box->addButton(QString(titles.at(i)).replace(QLatin1Char('&'), QStringLiteral("&&")), role);
        const int response = AlertResponse::firstButton + static_cast<int>(i);
        button->setProperty(responseProperty, response);
        if (first == nullptr)
            first = button;
        if (response == alert.dismissResponse)
            dismissing = button;
    }
    box->setDefaultButton(first);
    // An alert naming no button of its own is dismissed by its first.
    box->setEscapeButton(dismissing != nullptr ? dismissing : first);
    return box;
}

int QtAlertPresenter::runModal(const Alert& alert) {
    const std::unique_ptr<QMessageBox> box = makeBox(alert);
    box->exec();
    // A box closed without a button answers as Escape does.
    QAbstractButton* clicked = box->clickedButton();
    if (clicked == nullptr)
        clicked = box->escapeButton();
    return clicked->property(responseProperty).toInt();
}

} // namespace velmora
