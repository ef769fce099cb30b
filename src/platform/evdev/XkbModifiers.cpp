#include "platform/evdev/XkbModifiers.h"

#include "platform/KeyboardEvent.h"

#include <xkbcommon/xkbcommon.h>

namespace velmora {

namespace {

// Evdev codes sit 8 below X11 key codes, which xkbcommon uses.
constexpr xkb_keycode_t evdevOffset = 8;

xkb_context* context() {
    static xkb_context* const shared = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    return shared;
}

uint32_t maskOf(xkb_keymap* keymap, const char* name) {
    const xkb_mod_index_t index = xkb_keymap_mod_get_index(keymap, name);
    return index == XKB_MOD_INVALID ? 0 : uint32_t{1} << index;
}

} // namespace

XkbKeymap::XkbKeymap(xkb_keymap* keymap)
    : keymap_(keymap), bits_{{{maskOf(keymap, XKB_MOD_NAME_SHIFT), ModifierFlag::shift},
                              {maskOf(keymap, XKB_MOD_NAME_CTRL), ModifierFlag::control},
                              {maskOf(keymap, XKB_MOD_NAME_ALT), ModifierFlag::option},
                              {maskOf(keymap, XKB_MOD_NAME_LOGO), ModifierFlag::command}}},
      lock_(maskOf(keymap, XKB_MOD_NAME_CAPS)) {}

XkbKeymap::~XkbKeymap() {
    xkb_keymap_unref(keymap_);
}

std::shared_ptr<const XkbKeymap> XkbKeymap::fromText(const QByteArray& text) {
    xkb_keymap* keymap =
        context() ? xkb_keymap_new_from_string(context(), text.constData(), XKB_KEYMAP_FORMAT_TEXT_V1,
                                               XKB_KEYMAP_COMPILE_NO_FLAGS)
                  : nullptr;
    return keymap ? std::shared_ptr<const XkbKeymap>(new XkbKeymap(keymap)) : nullptr;
}

std::shared_ptr<const XkbKeymap> XkbKeymap::fromNames(const QByteArray& layouts, const QByteArray& options) {
    const xkb_rule_names names{"evdev", "pc105", layouts.constData(), "", options.constData()};
    xkb_keymap* keymap =
        context() ? xkb_keymap_new_from_names(context(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS) : nullptr;
    return keymap ? std::shared_ptr<const XkbKeymap>(new XkbKeymap(keymap)) : nullptr;
}

uint32_t XkbKeymap::layoutCount() const {
    return xkb_keymap_num_layouts(keymap_);
}

QStringList XkbKeymap::layoutNames() const {
    QStringList names;
    for (xkb_layout_index_t i = 0; i < layoutCount(); ++i)
        names << QString::fromUtf8(xkb_keymap_layout_get_name(keymap_, i));
    return names;
}

uint64_t XkbKeymap::flagsFor(uint32_t mask) const {
    uint64_t flags = 0;
    for (const Bit& bit : bits_)
        if (mask & bit.mask)
            flags |= bit.flag;
    return flags;
}

XkbKeyState::XkbKeyState(std::shared_ptr<const XkbKeymap> keymap)
    : keymap_(std::move(keymap)), state_(xkb_state_new(keymap_->keymap())) {}

XkbKeyState::~XkbKeyState() {
    xkb_state_unref(state_);
}

bool XkbKeyState::update(unsigned code, bool pressed, int layout, bool& capsLock) {
    const uint32_t lock = keymap_->lockMask();
    if (pressed) {
        const xkb_mod_mask_t locked = xkb_state_serialize_mods(state_, XKB_STATE_MODS_LOCKED);
        const xkb_mod_mask_t wantedLocked = capsLock ? (locked | lock) : (locked & ~lock);
        const xkb_layout_index_t group = xkb_state_serialize_layout(state_, XKB_STATE_LAYOUT_LOCKED);
        const xkb_layout_index_t wantedGroup =
            layout >= 0 && xkb_layout_index_t(layout) < keymap_->layoutCount() ? layout : group;
        // The held keys' modifiers stay; their releases clear them as usual.
        if (wantedLocked != locked || wantedGroup != group)
            xkb_state_update_mask(state_, xkb_state_serialize_mods(state_, XKB_STATE_MODS_DEPRESSED),
                                  xkb_state_serialize_mods(state_, XKB_STATE_MODS_LATCHED), wantedLocked,
                                  xkb_state_serialize_layout(state_, XKB_STATE_LAYOUT_DEPRESSED),
                                  xkb_state_serialize_layout(state_, XKB_STATE_LAYOUT_LATCHED), wantedGroup);
    }
    const xkb_state_component changed =
        xkb_state_update_key(state_, code + evdevOffset, pressed ? XKB_KEY_DOWN : XKB_KEY_UP);
    flags_ = keymap_->flagsFor(xkb_state_serialize_mods(state_, XKB_STATE_MODS_EFFECTIVE));
    if (changed & XKB_STATE_MODS_LOCKED)
        capsLock = (xkb_state_serialize_mods(state_, XKB_STATE_MODS_LOCKED) & lock) != 0;
    return changed & (XKB_STATE_MODS_DEPRESSED | XKB_STATE_MODS_LATCHED | XKB_STATE_MODS_LOCKED);
}

} // namespace velmora
