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

// How the current source changed through someone else (a key of the keymap,
// another program) since the last selectInputSource().
struct ForeignLayoutChange {
    enum class Kind {
        none,      // no change, or only one that chose no layout (a keymap reload)
        relative,  // next/previous layout: steps forward in the system's order, summed
        selection, // a given layout was selected
        unknown,   // changed, but the system does not tell how
    };
    Kind kind = Kind::none;
    int steps = 0;
};

// Velmora's identifier for a desktop's input source of the given type and id
// (GNOME's and Cinnamon's): "layout" or "layout(variant)" for an XKB layout,
// written "us+intl" there; any other kind keeps its own id. Nothing for an empty id.
std::optional<QString> desktopSourceIdentifier(const QString& type, const QString& id);

// Where the desktop keeps the current layout: one for the whole session, or
// one per window or per application, selected again when it gets the focus.
enum class LayoutScope { global, window, application };

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
    // The current source's index in the list as last heard from the system,
    // without asking it; -1 when unknown.
    virtual int knownCurrentIndex() const { return -1; }
    // Changes made by others since the last selectInputSource(); a system
    // that cannot tell them apart reports unknown.
    virtual ForeignLayoutChange foreignChangeSinceLastSelection() {
        return {ForeignLayoutChange::Kind::unknown};
    }
    virtual LayoutScope layoutScope() const { return LayoutScope::global; }
};

} // namespace velmora
