#pragma once

#include <functional>

namespace velmora::test {

// Runs the Qt event loop until the condition holds, for at most timeoutMs;
// returns whether it held. A bound on waiting, not a timing requirement.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);
// Runs the event loop until everything queued before this call has run.
bool drainQueued();

} // namespace velmora::test
