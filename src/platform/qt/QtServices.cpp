#include "platform/qt/QtServices.h"

#include "platform/qt/QtAlertPresenter.h"
#include "platform/qt/QtWorkspace.h"

namespace velmora {

void addQtServices(Platform& platform) {
    platform.workspace = std::make_shared<QtWorkspace>();
    platform.alerts = std::make_shared<QtAlertPresenter>();
}

} // namespace velmora
