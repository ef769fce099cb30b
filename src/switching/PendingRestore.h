#pragma once

#include "platform/TextInputSources.h"

#include <QTimer>

#include <chrono>

namespace velmora {

// A restore the desktop refused (its interface gone for a moment: a screen
// lock, a restart). Dropping it would leave the user typing in English, so it
// is tried again, less and less often, until the desktop takes it or someone
// chooses another layout meanwhile. Never during a hold.
class PendingRestore {
public:
    explicit PendingRestore(const bool& holding) : holding_(holding) {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [this] { retry(); });
    }

    // `english` is the layout Velmora left selected; null when unknown.
    void keep(InputSourceRef layout, InputSourceRef english);
    void cancel();
    bool isPending() const { return layout_ != nullptr; }

    // The first retry's delay; each failed one doubles it, up to a maximum.
    std::chrono::milliseconds firstDelay{1000};

private:
    void retry();

    const bool& holding_;
    InputSourceRef layout_, english_;
    std::chrono::milliseconds delay_{};
    QTimer timer_;
};

} // namespace velmora
