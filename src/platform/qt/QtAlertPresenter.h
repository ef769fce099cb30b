#pragma once

#include "platform/AlertPresenter.h"

namespace velmora {

// Alerts as QMessageBox dialogs. The first button is the default one; Escape
// picks the last, as in any dialog whose last button is "Later" or "Cancel".
class QtAlertPresenter final : public AlertPresenter {
public:
    int runModal(const Alert& alert) override;
};

} // namespace velmora
