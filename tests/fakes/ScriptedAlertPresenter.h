#pragma once

#include "platform/AlertPresenter.h"

#include <QList>

#include <functional>

namespace velmora {

// Answers alerts from a script instead of a person: each alert takes the next
// queued answer (the first button when the queue is empty) and is recorded.
class ScriptedAlertPresenter final : public AlertPresenter {
public:
    void answerWith(int buttonCode) { answers_.append(buttonCode); }
    // Runs while the alert is "on screen", before it is answered.
    void whileShowing(std::function<void(const Alert&)> action) { whileShowing_ = std::move(action); }
    const QList<Alert>& shown() const { return shown_; }

    int runModal(const Alert& alert) override;

private:
    QList<int> answers_;
    QList<Alert> shown_;
    std::function<void(const Alert&)> whileShowing_;
};

} // namespace velmora
