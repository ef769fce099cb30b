#pragma once

#include <cstdint>
#include <optional>

namespace velmora {

namespace ReachabilityFlag {
inline constexpr uint32_t reachable = 2;
inline constexpr uint32_t connectionRequired = 4;
} // namespace ReachabilityFlag

// Whether the default route leads anywhere.
class NetworkReachability {
public:
    virtual ~NetworkReachability() = default;
    // The reachability flags of the default route, or nothing when they
    // cannot be read.
    virtual std::optional<uint32_t> defaultRouteFlags() = 0;
};

} // namespace velmora
