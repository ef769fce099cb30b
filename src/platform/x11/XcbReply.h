#pragma once

#include <cstdlib>
#include <memory>

namespace velmora {

struct XcbFree {
    void operator()(void* pointer) const { std::free(pointer); }
};

// XCB replies and events are malloc'ed and freed by the receiver.
template <typename T> using XcbReply = std::unique_ptr<T, XcbFree>;

} // namespace velmora
