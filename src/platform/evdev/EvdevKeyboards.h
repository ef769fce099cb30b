#pragma once

#include <QString>
#include <QStringList>

namespace velmora {

class EvdevDeviceAccess;

// Where the observer finds keyboards.
class EvdevKeyboards {
public:
    EvdevKeyboards() = delete;

    static QString deviceDirectory();
    // VELMORA_INPUT_DEVICES split at colons, or empty when it is not set.
    static QStringList configuredPaths();
    // The event devices in the directory that can be opened for reading and
    // answer as keyboards.
    static QStringList discover(EvdevDeviceAccess& access, const QString& directory = deviceDirectory());
    // Whether at least one of the paths can be opened for reading.
    static bool anyReadable(const QStringList& paths);
};

} // namespace velmora
