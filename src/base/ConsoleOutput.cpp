#include "base/ConsoleOutput.h"

#include <QByteArray>

#include <cerrno>
#include <mutex>
#include <unistd.h>

namespace velmora {

namespace {
std::mutex sinkMutex;
ConsoleOutput::Sink& installedSink() {
    static ConsoleOutput::Sink sink;
    return sink;
}
} // namespace

bool ConsoleOutput::writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

void ConsoleOutput::writeLine(const QString& line) {
    QByteArray bytes = line.toUtf8();
    bytes.append('\n');
    const std::string_view view(bytes.constData(), static_cast<size_t>(bytes.size()));
    {
        std::lock_guard lock(sinkMutex);
        if (installedSink()) {
            installedSink()(view);
            return;
        }
    }
    writeAll(STDOUT_FILENO, view);
}

void ConsoleOutput::setSink(Sink sink) {
    std::lock_guard lock(sinkMutex);
    installedSink() = std::move(sink);
}

} // namespace velmora
