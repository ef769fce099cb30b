#pragma once

#include <QList>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

namespace velmora {

// A keyboard input source (a layout) as the system describes it. Either
// property may be missing. The handle lets the platform find it again.
struct InputSource {
    std::optional<QString> identifier;
    std::optional<QString> localizedName;
    int64_t handle = -1;
};

// Shared ownership stands in for the system's copy rule: whoever holds the
// reference keeps the source alive.
using InputSourceRef = std::shared_ptr<const InputSource>;

class TextInputSources {
public:
    virtual ~TextInputSources() = default;
    // The current keyboard source, or null.
    virtual InputSourceRef copyCurrentKeyboardInputSource() = 0;
    // The enabled sources in the system's order, or nothing when the system
    // cannot list them.
    virtual std::optional<QList<InputSourceRef>> createInputSourceList() = 0;
    // 0 on success, a non-zero status code on failure.
    virtual int32_t selectInputSource(const InputSourceRef& source) = 0;
};

} // namespace velmora
