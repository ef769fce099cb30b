#pragma once

#include "platform/AlertPresenter.h"

#include <memory>

class QMessageBox;

namespace velmora {

// Alerts as QMessageBox dialogs. The first button is the default one; Escape
// picks the last, as in any dialog whose last button is "Later" or "Cancel".
class QtAlertPresenter final : public AlertPresenter {
public:
    int runModal(const Alert& alert) override;

    // The dialog runModal shows, built but not shown. Each button carries the
    // code it answers with in the property named by responseProperty.
    static std::unique_ptr<QMessageBox> makeBox(const Alert& alert);
    static constexpr const char* responseProperty = "alertResponse";
};

} // namespace velmora
