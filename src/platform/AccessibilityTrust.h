#pragma once

#include <QString>

namespace velmora {

// Whether this process may observe the keyboard system-wide. The answer is
// asked for afresh at every call; nothing is prompted.
class AccessibilityTrust {
public:
    virtual ~AccessibilityTrust() = default;
    virtual bool isProcessTrusted() = 0;
    // Why the latest isProcessTrusted() answered false, as one sentence for
    // the user; empty after a true answer.
    virtual QString untrustedReason() const = 0;
};

} // namespace velmora
