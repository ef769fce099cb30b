#include "switching/PendingRestore.h"

#include "diagnostics/Logger.h"
#include "platform/Platform.h"

#include <algorithm>

namespace velmora {

namespace {

constexpr std::chrono::milliseconds longestDelay{30000};

QString nameOf(const InputSource& source) {
    return source.identifier.value_or(source.localizedName.value_or(QStringLiteral("Unknown")));
}

} // namespace

void PendingRestore::keep(InputSourceRef layout, InputSourceRef english) {
    if (!layout)
        return;
    layout_ = std::move(layout), english_ = std::move(english);
    delay_ = firstDelay;
    Logger::log(
        QStringLiteral("Restoring %1 failed: tried again when the desktop answers").arg(nameOf(*layout_)));
    timer_.start(delay_);
}

void PendingRestore::cancel() {
    timer_.stop();
    layout_.reset(), english_.reset();
}

void PendingRestore::retry() {
    TextInputSources* sources = Platform::current().inputSources.get();
    if (!layout_ || sources == nullptr)
        return cancel();
    if (!holding_) {
        const InputSourceRef current = sources->copyCurrentKeyboardInputSource();
        if (current && english_ && current->identifier != english_->identifier) {
            Logger::log(QStringLiteral("Restoring %1 dropped: %2 was chosen meanwhile")
                            .arg(nameOf(*layout_), nameOf(*current)));
            return cancel();
        }
        if (sources->selectInputSource(layout_) == 0) {
            Logger::log(QStringLiteral("Restored %1 once the desktop answered again").arg(nameOf(*layout_)));
            return cancel();
        }
        delay_ = std::min(delay_ * 2, longestDelay);
    }
    timer_.start(delay_);
}

} // namespace velmora
