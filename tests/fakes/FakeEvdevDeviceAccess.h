#pragma once

#include "platform/evdev/EvdevDeviceAccess.h"

#include <QFile>
#include <QString>

#include <functional>

namespace velmora {

// Answers the device questions for streams that cannot: which paths are
// keyboards (all, unless a test says otherwise), the keys a test says are held
// after a drop, and no light.
class FakeEvdevDeviceAccess final : public EvdevDeviceAccess {
public:
    std::optional<EvdevKeyBits> heldKeys;
    std::function<bool(const QString& path)> isKeyboardPath;

    bool isKeyboard(int fd) override {
        return !isKeyboardPath ||
               isKeyboardPath(QFile::symLinkTarget(QStringLiteral("/proc/self/fd/%1").arg(fd)));
    }
    std::optional<EvdevKeyBits> keyState(int) override { return heldKeys; }
    std::optional<bool> capsLockLight(int) override { return std::nullopt; }
};

} // namespace velmora
