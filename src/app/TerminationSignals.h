#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

namespace velmora {

// Turns SIGINT and SIGTERM into a call on the main thread, where the program
// can tear down cleanly; a signal handler itself may do almost nothing. One
// instance at a time; the default actions come back when it is destroyed.
class TerminationSignals {
public:
    explicit TerminationSignals(std::function<void(int signalNumber)> onSignal);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    void readPendingSignals();

    std::function<void(int)> onSignal_;
    int fds_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace velmora
