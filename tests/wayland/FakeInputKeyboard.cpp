// Keys for KWin through its fake-input protocol, read from standard input, one
// command a line: "k CODE STATE" (evdev code, 1 down, 0 up); each is answered
// with "ok" once KWin has it.
#include "fake-input-client-protocol.h"

#include <wayland-client.h>

#include <cstdio>
#include <cstring>

namespace {

org_kde_kwin_fake_input* fakeInput = nullptr;

void announce(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
    if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4)
        fakeInput = static_cast<org_kde_kwin_fake_input*>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
}
void forget(void*, wl_registry*, uint32_t) {}
const wl_registry_listener registryListener{announce, forget};

} // namespace

int main() {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr)
        return 1;
    wl_registry_add_listener(wl_display_get_registry(display), &registryListener, nullptr);
    wl_display_roundtrip(display);
    if (fakeInput == nullptr) {
        std::fprintf(stderr, "fake input: KWin offers no fake input of version 4\n");
        return 1;
    }
    org_kde_kwin_fake_input_authenticate(fakeInput, "velmora tests", "key events for the tests");
    wl_display_roundtrip(display);
    std::printf("ready\n");
    std::fflush(stdout);
    char line[64];
    unsigned code = 0, state = 0;
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        if (std::sscanf(line, " k %u %u", &code, &state) != 2)
            continue;
        org_kde_kwin_fake_input_keyboard_key(fakeInput, code, state);
        if (wl_display_roundtrip(display) < 0)
            return 1;
        std::printf("ok\n");
        std::fflush(stdout);
    }
    wl_display_disconnect(display);
    return 0;
}
