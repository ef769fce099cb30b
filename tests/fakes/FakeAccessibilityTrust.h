#pragma once

#include "platform/AccessibilityTrust.h"

namespace velmora {

// Answers what the test scripted and counts the questions.
class FakeAccessibilityTrust final : public AccessibilityTrust {
public:
    // A false answer comes with the reason given.
    void setTrusted(bool trusted, QString reason = {});
    int checkCount() const { return checkCount_; }

    bool isProcessTrusted() override;
    QString untrustedReason() const override;

private:
    bool trusted_ = true;
    QString reason_;
    bool lastAnswer_ = true;
    int checkCount_ = 0;
};

} // namespace velmora
