#include "platform/qt/QtAlertPresenter.h"

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
} // namespace

int QtAlertPresenter::runModal(const Alert& alert) {
    QMessageBox box;
    box.setWindowTitle(QStringLiteral("Velmora"));
    box.setText(alert.messageText);
    box.setInformativeText(alert.informativeText);
    box.setIcon(iconFor(alert.style));
    const QStringList titles = alert.buttons.isEmpty() ? QStringList{QStringLiteral("OK")} : alert.buttons;
    QList<QAbstractButton*> buttons;
    for (qsizetype i = 0; i < titles.size(); ++i) {
        // Roles keep the platform's button order predictable: the first is
        // the accepting one, the last the dismissing one.
        const QMessageBox::ButtonRole role = i == 0                     ? QMessageBox::AcceptRole
                                             : i == titles.size() - 1 ? QMessageBox::RejectRole
                                                                      : QMessageBox::ActionRole;
        buttons.append(box.addButton(titles.at(i), role));
    }
    box.setDefaultButton(qobject_cast<QPushButton*>(buttons.first()));
    box.setEscapeButton(buttons.last());
    box.exec();
    const qsizetype index = buttons.indexOf(box.clickedButton());
    return AlertResponse::firstButton + static_cast<int>(index < 0 ? titles.size() - 1 : index);
}

} // namespace velmora
