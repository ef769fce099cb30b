#include "platform/evdev/EvdevKeyboards.h"

#include "platform/evdev/EvdevDeviceAccess.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace velmora {

namespace {

int openForReading(const QString& path) {
    return ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}

} // namespace

QString EvdevKeyboards::deviceDirectory() {
    return QStringLiteral("/dev/input");
}

QStringList EvdevKeyboards::configuredPaths() {
    return qEnvironmentVariable("VELMORA_INPUT_DEVICES").split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

QStringList EvdevKeyboards::discover(EvdevDeviceAccess& access, const QString& directory) {
    QStringList keyboards;
    const QDir dir(directory);
    for (const QString& name : dir.entryList({QStringLiteral("event*")}, QDir::System, QDir::Name)) {
        const QString path = dir.filePath(name);
        const int fd = openForReading(path);
        if (fd < 0)
            continue;
        if (access.isKeyboard(fd))
            keyboards.append(path);
        ::close(fd);
    }
    return keyboards;
}

bool EvdevKeyboards::anyReadable(const QStringList& paths) {
    for (const QString& path : paths) {
        const int fd = openForReading(path);
        if (fd >= 0) {
            ::close(fd);
            return true;
        }
    }
    return false;
}

} // namespace velmora
