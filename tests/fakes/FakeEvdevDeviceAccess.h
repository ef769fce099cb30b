#pragma once

#include "platform/evdev/EvdevDeviceAccess.h"

#include <QFile>

#include <functional>

namespace velmora {

// Every path is a keyboard unless isKeyboardPath says otherwise; heldKeys: those held after a drop; no light.
struct FakeEvdevDeviceAccess final : EvdevDeviceAccess {
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
