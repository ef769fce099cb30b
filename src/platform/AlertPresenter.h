#pragma once

#include <QString>
#include <QStringList>

namespace velmora {

enum class AlertStyle { warning = 0, informational = 1, critical = 2 };

// Button codes returned by a modal alert, first button first.
namespace AlertResponse {
inline constexpr int firstButton = 1000;
inline constexpr int secondButton = 1001;
inline constexpr int thirdButton = 1002;
} // namespace AlertResponse

struct Alert {
    QString messageText;
    QString informativeText;
    AlertStyle style = AlertStyle::warning;
    QStringList buttons; // in the order they are added; "OK" when empty
    // The answer of Escape and of the window's close button: the button that
    // leaves everything as it is.
    int dismissResponse = AlertResponse::firstButton;
};

// Shows an alert modally and returns the code of the button pressed.
class AlertPresenter {
public:
    virtual ~AlertPresenter() = default;
    virtual int runModal(const Alert& alert) = 0;
};

} // namespace velmora
