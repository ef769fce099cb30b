#pragma once

#include <QString>
#include <QStringList>

namespace velmora {

// Why the keyboard cannot be observed. The interface words each cause in its
// own language from the arguments (display names, the extension's name, the
// shell's own error, none of them translated); the English sentence is for
// the trace.
struct UntrustedReason {
    enum class Cause {
        none,
        waylandSessionForX11,  // no arguments
        noDisplay,             // no arguments
        displayUnreachable,    // display
        displayLacksExtension, // display, what is missing ("XInput 2.2")
        displayWithoutScreen,  // display, screen number
        noReadableKeyboard,    // no arguments
        shellSilent,           // extension
        extensionOff,          // extension
        extensionFailed,       // extension, the shell's error
        extensionSilent,       // extension
        extensionNotLoaded,    // extension
        extensionRefused,      // shell version, the versions the extensions name, the shell's major version
        desktopUnsupported,    // no arguments
    };

    Cause cause = Cause::none;
    QStringList arguments;
    QString english;

    bool isEmpty() const { return cause == Cause::none; }
};

// Whether this process may observe the keyboard system-wide. The answer is
// asked for afresh at every call; nothing is prompted.
class AccessibilityTrust {
public:
    virtual ~AccessibilityTrust() = default;
    virtual bool isProcessTrusted() = 0;
    // Why the latest isProcessTrusted() answered false; empty after a true answer.
    virtual UntrustedReason untrustedReason() const = 0;
};

} // namespace velmora
