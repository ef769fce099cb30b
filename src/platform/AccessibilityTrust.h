#pragma once

#include <QString>
#include <QStringList>

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
    // The same reason as a key of Velmora's string tables with its arguments,
    // where there is one, so that alerts show it in the user's language.
    struct LocalizableReason {
        QString key;
        QStringList arguments;
    };
    virtual LocalizableReason localizableReason() const { return {}; }
};

} // namespace velmora
