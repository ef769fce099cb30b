#pragma once

#include <functional>

namespace velmora::test {

// Runs the Qt event loop until the condition holds, for at most timeoutMs;
// returns whether it held. A bound on waiting, not a timing requirement.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);

// Runs the Qt event loop for the given time, so that whatever an action
// would cause has had its chance to happen before a test checks it did not.
void settle(int ms = 150);

} // namespace velmora::test
