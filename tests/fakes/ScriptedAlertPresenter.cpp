#include "fakes/ScriptedAlertPresenter.h"

namespace velmora {

int ScriptedAlertPresenter::runModal(const Alert& alert) {
    shown_.append(alert);
    if (whileShowing_)
        whileShowing_(alert);
    return answers_.isEmpty() ? AlertResponse::firstButton : answers_.takeFirst();
}

} // namespace velmora
