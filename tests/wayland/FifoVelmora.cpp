#include "wayland/FifoVelmora.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <linux/input.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::test {

FifoVelmora::~FifoVelmora() {
    if (fifo_ >= 0)
        ::close(fifo_);
}

bool FifoVelmora::start(QProcessEnvironment environment, const QByteArray& settings, QString configHome) {
    const QString fifo = home_.filePath(QStringLiteral("keyboard"));
    if (mkfifo(QFile::encodeName(fifo).constData(), 0600) != 0)
        return false;
    fifo_ = ::open(QFile::encodeName(fifo).constData(), O_RDWR | O_CLOEXEC);
    const QString config = configHome.isEmpty() ? home_.filePath(QStringLiteral("config")) : configHome;
    const QString runtime = home_.filePath(QStringLiteral("runtime"));
    QDir().mkpath(config + QStringLiteral("/Velmora"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QFile file(config + QStringLiteral("/Velmora/Velmora.conf"));
    if (fifo_ < 0 || !file.open(QIODevice::WriteOnly))
        return false;
    file.write("[General]\nhasLaunchedBefore=true\n" + settings);
    file.close();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.insert(QStringLiteral("VELMORA_INPUT_DEVICES"), fifo);
    environment.insert(QStringLiteral("VELMORA_UPDATE_FEED_URL"),
                       QStringLiteral("http://127.0.0.1:9/version.json"));
    velmora_ = std::make_unique<VelmoraProcess>(environment);
    return velmora_->start() &&
           !velmora_->waitForLine(QStringLiteral("Accessibility Permission: ✅ Granted")).isEmpty();
}

bool FifoVelmora::writeKey(int code, bool down) {
    input_event events[2]{};
    events[0].type = EV_KEY, events[0].code = code, events[0].value = down ? 1 : 0;
    events[1].type = EV_SYN, events[1].code = SYN_REPORT;
    return ::write(fifo_, events, sizeof events) == ssize_t(sizeof events);
}

} // namespace velmora::test
