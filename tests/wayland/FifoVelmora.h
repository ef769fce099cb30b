#pragma once

#include "e2e/VelmoraProcess.h"

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace velmora::test {

// The real velmora of a Wayland session reading its keyboard from a FIFO this
// object holds open for writing (so Velmora never reads an end), with
// settings and a runtime folder of its own.
class FifoVelmora {
public:
    FifoVelmora() = default;
    ~FifoVelmora();
    FifoVelmora(const FifoVelmora&) = delete;
    FifoVelmora& operator=(const FifoVelmora&) = delete;

    // Writes the settings, starts Velmora in the session's environment and
    // waits until it observes the keyboard; false when it does not. The
    // config folder is the session's when it has one (KWin's kxkbrc is there).
    bool start(QProcessEnvironment environment, const QByteArray& settings, QString configHome = {});
    // A key event and its report, as a keyboard device sends them.
    bool writeKey(int code, bool down);
    VelmoraProcess& process() { return *velmora_; }

private:
    QTemporaryDir home_;
    int fifo_ = -1;
    std::unique_ptr<VelmoraProcess> velmora_;
};

} // namespace velmora::test
