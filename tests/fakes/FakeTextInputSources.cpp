#include "fakes/FakeTextInputSources.h"

namespace velmora {

void FakeTextInputSources::setSources(QList<InputSource> sources) {
    sources_.clear();
    for (int i = 0; i < sources.size(); ++i) {
        sources[i].handle = i;
        sources_.append(std::make_shared<const InputSource>(sources[i]));
    }
    if (currentIndex_ >= sources_.size())
        currentIndex_ = -1;
    foreign_ = {};
}

void FakeTextInputSources::stepBySomeoneElse(int steps) {
    const int count = static_cast<int>(sources_.size());
    currentIndex_ = ((currentIndex_ + steps) % count + count) % count;
    if (foreign_.kind == ForeignLayoutChange::Kind::none)
        foreign_.kind = ForeignLayoutChange::Kind::relative;
    foreign_.steps += steps;
}

void FakeTextInputSources::selectBySomeoneElse(int index, ForeignLayoutChange::Kind kind) {
    setCurrentIndex(index);
    foreign_ = {kind, 0};
}

void FakeTextInputSources::setCurrentIndex(int index) {
    currentIndex_ = (index >= 0 && index < sources_.size()) ? index : -1;
}

InputSourceRef FakeTextInputSources::copyCurrentKeyboardInputSource() {
    return currentIndex_ >= 0 ? sources_.at(currentIndex_) : nullptr;
}

std::optional<QList<InputSourceRef>> FakeTextInputSources::createInputSourceList() {
    if (!listAvailable_)
        return std::nullopt;
    return sources_;
}

int32_t FakeTextInputSources::selectInputSource(const InputSourceRef& source) {
    selections_.append(source && source->identifier ? *source->identifier : QStringLiteral("<none>"));
    foreign_ = {};
    if (selectStatus_ == 0 && source && source->handle >= 0 && source->handle < sources_.size())
        currentIndex_ = static_cast<int>(source->handle);
    if (onSelect_)
        onSelect_();
    return selectStatus_;
}

} // namespace velmora
