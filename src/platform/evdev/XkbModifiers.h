#pragma once

#include <QByteArray>
#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>

struct xkb_keymap;
struct xkb_state;

namespace velmora {

// A keymap as the desktop compiled it, and where its modifiers lie in the
// engine's flag word: the real modifiers Shift, Control, Mod1 (Alt) and Mod4
// (Super), the bits the X11 backend reads. Caps Lock is the seat's, apart.
class XkbKeymap {
public:
    // Null when xkbcommon cannot compile it.
    static std::shared_ptr<const XkbKeymap> fromText(const QByteArray& text);
    // From rule names, as a desktop builds it from its settings ("gr,us", "ctrl:nocaps").
    static std::shared_ptr<const XkbKeymap> fromNames(const QByteArray& layouts,
                                                      const QByteArray& options = {});
    ~XkbKeymap();
    XkbKeymap(const XkbKeymap&) = delete;
    XkbKeymap& operator=(const XkbKeymap&) = delete;

    xkb_keymap* keymap() const { return keymap_; }
    uint32_t layoutCount() const;
    QStringList layoutNames() const;
    // The flags of a modifier mask, Lock left out.
    uint64_t flagsFor(uint32_t mask) const;
    uint32_t lockMask() const { return lock_; }

private:
    explicit XkbKeymap(xkb_keymap* keymap);

    struct Bit {
        uint32_t mask;
        uint64_t flag;
    };
    xkb_keymap* keymap_;
    std::array<Bit, 4> bits_;
    uint32_t lock_;
};

// One keyboard's state in the seat's keymap. Key codes go into the state and
// nowhere else.
class XkbKeyState {
public:
    explicit XkbKeyState(std::shared_ptr<const XkbKeymap> keymap);
    ~XkbKeyState();
    XkbKeyState(const XkbKeyState&) = delete;
    XkbKeyState& operator=(const XkbKeyState&) = delete;

    // Feeds an evdev key press or release. A press first puts the state on
    // the desktop's layout (a negative or unknown one keeps it) and on the
    // seat's Caps Lock, which other keyboards and the desktop change too;
    // a key that locks or unlocks Caps sets capsLock. True when the key
    // changed the modifiers.
    bool update(unsigned code, bool pressed, int layout, bool& capsLock);
    // The modifiers held on this keyboard as flags, Caps Lock left out.
    uint64_t flags() const { return flags_; }

private:
    std::shared_ptr<const XkbKeymap> keymap_;
    xkb_state* state_;
    uint64_t flags_ = 0;
};

} // namespace velmora
