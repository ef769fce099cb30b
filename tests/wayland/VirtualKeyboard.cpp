// A keyboard for a headless sway that has none: created through
// zwp_virtual_keyboard_v1 with a keymap of the given layouts and options
// ("ready" once sway has it), alive until standard input closes. Each line
// "CODE DOWN LAYOUT" there types an evdev key on that layout, with the
// modifiers it leaves (sway takes them from the client).
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
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr)
        return 1;
    wl_registry_add_listener(wl_display_get_registry(display), &registryListener, nullptr);
    wl_display_roundtrip(display);
    if (seat == nullptr || manager == nullptr)
        return 1;
    const xkb_rule_names names{"evdev", "pc105", argc > 1 ? argv[1] : "ru,us", "", argc > 2 ? argv[2] : ""};
    xkb_keymap* keymap =
        xkb_keymap_new_from_names(xkb_context_new(XKB_CONTEXT_NO_FLAGS), &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    const std::string text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
    const int fd = memfd_create("keymap", MFD_CLOEXEC);
    if (fd < 0 || write(fd, text.c_str(), text.size() + 1) != ssize_t(text.size() + 1))
        return 1;
    zwp_virtual_keyboard_v1* keyboard =
        zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(manager, seat);
    zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, text.size() + 1);
    wl_display_roundtrip(display);
    std::printf("ready\n");
    std::fflush(stdout);
    xkb_state* state = xkb_state_new(keymap);
    for (unsigned code, down, layout; std::scanf("%u %u %u", &code, &down, &layout) == 3;) {
        xkb_state_update_key(state, code + 8, down ? XKB_KEY_DOWN : XKB_KEY_UP);
        zwp_virtual_keyboard_v1_key(keyboard, 0, code, down);
        zwp_virtual_keyboard_v1_modifiers(keyboard, xkb_state_serialize_mods(state, XKB_STATE_MODS_DEPRESSED),
                                          0, xkb_state_serialize_mods(state, XKB_STATE_MODS_LOCKED), layout);
        wl_display_roundtrip(display);
    }
    wl_display_disconnect(display);
    return 0;
}
