#include "fakes/FakeAccessibilityTrust.h"

namespace velmora {

void FakeAccessibilityTrust::setTrusted(bool trusted, QString reason) {
    trusted_ = trusted;
    reason_ = std::move(reason);
}

bool FakeAccessibilityTrust::isProcessTrusted() {
    ++checkCount_;
    lastAnswer_ = trusted_;
    return trusted_;
}

QString FakeAccessibilityTrust::untrustedReason() const { return lastAnswer_ ? QString() : reason_; }

} // namespace velmora
