// A keyboard for a headless compositor that has none: it creates one through
// zwp_virtual_keyboard_v1 with a keymap of the given layouts, then presses
// keys read from standard input, one command a line:
//   k CODE STATE   key event (evdev code, 1 down, 0 up)
//   g GROUP        the compositor's current layout, before a modifier key
// and answers each with "ok" once the compositor has it.
// The compositor applies no key to its own state for such a keyboard: the
// modifiers, and layout toggles from keys, are this program's to announce.
#include "virtual-keyboard-unstable-v1-client-protocol.h"

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

wl_seat* seat = nullptr;
zwp_virtual_keyboard_manager_v1* manager = nullptr;

void announce(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && seat == nullptr)
        seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0)
        manager = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
}
void forget(void*, wl_registry*, uint32_t) {}
const wl_registry_listener registryListener{announce, forget};

} // namespace

int main(int argc, char** argv) {
    const char* layouts = argc > 1 ? argv[1] : "ru,us";
    const char* options = argc > 2 ? argv[2] : "grp:alt_shift_toggle";
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "virtual keyboard: no Wayland display\n");
        return 1;
    }
    wl_registry_add_listener(wl_display_get_registry(display), &registryListener, nullptr);
    wl_display_roundtrip(display);
    if (seat == nullptr || manager == nullptr) {
        std::fprintf(stderr, "virtual keyboard: the compositor offers no seat or no virtual keyboards\n");
        return 1;
    }
    zwp_virtual_keyboard_v1* keyboard =
        zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(manager, seat);

    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    const xkb_rule_names names{"evdev", "pc105", layouts, "", options};
    xkb_keymap* keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    xkb_state* state = xkb_state_new(keymap);
    const std::string text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
    const int fd = memfd_create("keymap", MFD_CLOEXEC);
    if (fd < 0 || write(fd, text.c_str(), text.size() + 1) != ssize_t(text.size() + 1))
        return 1;
    zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, text.size() + 1);
    wl_display_roundtrip(display);
    std::printf("ready\n");
    std::fflush(stdout);

    char command;
    unsigned first = 0, second = 0;
    uint32_t time = 0;
    char line[64];
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        const int fields = std::sscanf(line, " %c %u %u", &command, &first, &second);
        auto mods = [&](xkb_state_component component) { return xkb_state_serialize_mods(state, component); };
        if (command == 'g' && fields == 2) {
            xkb_state_update_mask(state, mods(XKB_STATE_MODS_DEPRESSED), mods(XKB_STATE_MODS_LATCHED),
                                  mods(XKB_STATE_MODS_LOCKED), 0, 0, first);
        } else if (command == 'k' && fields == 3) {
            zwp_virtual_keyboard_v1_key(keyboard, time += 10, first, second);
            const auto changed =
                xkb_state_update_key(state, first + 8, second != 0 ? XKB_KEY_DOWN : XKB_KEY_UP);
            if (changed & (XKB_STATE_MODS_EFFECTIVE | XKB_STATE_LAYOUT_EFFECTIVE))
                zwp_virtual_keyboard_v1_modifiers(
                    keyboard, mods(XKB_STATE_MODS_DEPRESSED), mods(XKB_STATE_MODS_LATCHED),
                    mods(XKB_STATE_MODS_LOCKED),
                    xkb_state_serialize_layout(state, XKB_STATE_LAYOUT_EFFECTIVE));
        } else {
            continue;
        }
        if (wl_display_roundtrip(display) < 0)
            return 1;
        std::printf("ok\n");
        std::fflush(stdout);
    }
    wl_display_disconnect(display);
    return 0;
}
