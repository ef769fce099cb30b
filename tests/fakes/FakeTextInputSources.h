#pragma once

#include "platform/TextInputSources.h"

#include <QList>

#include <functional>

namespace velmora {

// Scriptable input sources: a list, a current entry, the status selection
// returns, and a log of every selection. Selecting a source makes it current
// when the status is 0. Changes by "someone else" are reported as foreign
// until the next selection; a new list (a keymap reload) clears them.
class FakeTextInputSources final : public TextInputSources {
public:
    // Each entry gets its position in the list as its handle.
    void setSources(QList<InputSource> sources);
    void setCurrentIndex(int index); // -1: no current source
    void setListAvailable(bool available) { listAvailable_ = available; }
    void setSelectStatus(int32_t status) { selectStatus_ = status; }
    // A "next layout" key pressed `steps` times (negative: previous).
    void stepBySomeoneElse(int steps);
    // A given layout selected by another program, or a change of that kind.
    void selectBySomeoneElse(int index,
                             ForeignLayoutChange::Kind kind = ForeignLayoutChange::Kind::selection);
    // Runs inside each selection, before it returns.
    void setOnSelect(std::function<void()> onSelect) { onSelect_ = std::move(onSelect); }

    int currentIndex() const { return currentIndex_; }
    QList<InputSourceRef> sources() const { return sources_; }
    // Identifiers (or "<none>") of every selected source, in order.
    const QStringList& selections() const { return selections_; }
    void clearSelections() { selections_.clear(); }

    InputSourceRef copyCurrentKeyboardInputSource() override;
    std::optional<QList<InputSourceRef>> createInputSourceList() override;
    int32_t selectInputSource(const InputSourceRef& source) override;
    ForeignLayoutChange foreignChangeSinceLastSelection() override { return foreign_; }

private:
    QList<InputSourceRef> sources_;
    int currentIndex_ = -1;
    bool listAvailable_ = true;
    int32_t selectStatus_ = 0;
    QStringList selections_;
    ForeignLayoutChange foreign_;
    std::function<void()> onSelect_;
};

} // namespace velmora
