#pragma once

namespace velmora {

// The tray application: one instance per user and display, the real platform,
// the delegate from start-up to a clean shutdown. Returns the exit status.
class VelmoraApplication {
public:
    VelmoraApplication() = delete;
    static int run(int argc, char* argv[]);
};

} // namespace velmora
