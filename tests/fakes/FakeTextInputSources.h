#pragma once

#include "platform/TextInputSources.h"

#include <QStringList>

namespace velmora {

// Sources whose handles are their positions. A selection is logged ("<none>": no identifier) and, with status
// 0, made current. Changes by "someone else" are foreign until the next selection or a new list (a reload).
class FakeTextInputSources final : public TextInputSources {
public:
    void setSources(const QList<InputSource>& sources) {
        sources_.clear();
        for (const InputSource& source : sources)
            sources_.append(std::make_shared<const InputSource>(
                InputSource{source.identifier, source.localizedName, sources_.size()}));
        setCurrentIndex(currentIndex_);
        foreign_ = {};
    }
    void setCurrentIndex(int index) { currentIndex_ = index >= 0 && index < sources_.size() ? index : -1; }
    void setSelectStatus(int32_t status) { selectStatus_ = status; }
    // A "next layout" key pressed `steps` times (negative: previous).
    void stepBySomeoneElse(int steps) {
        const int count = static_cast<int>(sources_.size());
        currentIndex_ = ((currentIndex_ + steps) % count + count) % count;
        const bool first = foreign_.kind == ForeignLayoutChange::Kind::none;
        foreign_ = {first ? ForeignLayoutChange::Kind::relative : foreign_.kind, foreign_.steps + steps};
    }
    void selectBySomeoneElse(int index,
                             ForeignLayoutChange::Kind kind = ForeignLayoutChange::Kind::selection) {
        setCurrentIndex(index);
        foreign_ = {kind, 0};
    }
    int currentIndex() const { return currentIndex_; }
    QList<InputSourceRef> sources() const { return sources_; }
    const QStringList& selections() const { return selections_; }
    void clearSelections() { selections_.clear(); }

    InputSourceRef copyCurrentKeyboardInputSource() override {
        return currentIndex_ >= 0 ? sources_.at(currentIndex_) : nullptr;
    }
    std::optional<QList<InputSourceRef>> createInputSourceList() override { return sources_; }
    int32_t selectInputSource(const InputSourceRef& source) override {
        selections_.append(source && source->identifier ? *source->identifier : QStringLiteral("<none>"));
        foreign_ = {};
        if (selectStatus_ == 0 && source && source->handle >= 0 && source->handle < sources_.size())
            currentIndex_ = static_cast<int>(source->handle);
        return selectStatus_;
    }
    ForeignLayoutChange foreignChangeSinceLastSelection() override { return foreign_; }
    LayoutScope layoutScope() const override { return scope; }
    LayoutScope scope = LayoutScope::global;

private:
    QList<InputSourceRef> sources_;
    int currentIndex_ = -1, selectStatus_ = 0;
    QStringList selections_;
    ForeignLayoutChange foreign_;
};

} // namespace velmora
