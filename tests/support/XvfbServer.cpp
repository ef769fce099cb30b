#include "support/XvfbServer.h"

#include <QProcess>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velmora::test {

namespace {
constexpr int startTimeoutMs = 10000;
} // namespace

XvfbServer::~XvfbServer() { stop(); }

bool XvfbServer::start() {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (program.isEmpty()) {
        error_ = QStringLiteral("Xvfb is not installed");
        return false;
    }
    int fds[2];
    if (::pipe(fds) != 0) {
        error_ = QStringLiteral("pipe failed");
        return false;
    }
    // Only the write end goes to Xvfb, which writes its display number there.
    ::fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    const QByteArray path = program.toLocal8Bit();
    const std::string fdText = std::to_string(fds[1]);
    const char* arguments[] = {"Xvfb", "-noreset", "-nolisten", "tcp", "-displayfd", fdText.c_str(),
                               "-screen", "0", "640x480x24", nullptr};
    const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    const pid_t parent = ::getpid();

    // Everything the child needs is prepared above: between fork and exec it
    // only makes async-signal-safe calls.
    pid_ = ::fork();
    if (pid_ == 0) {
        // A test run that crashes or is killed takes its servers with it.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
        ::dup2(devNull, STDOUT_FILENO);
        ::dup2(devNull, STDERR_FILENO);
        ::execv(path.constData(), const_cast<char* const*>(arguments));
        ::_exit(127);
    }
    ::close(devNull);
    ::close(fds[1]);
    if (pid_ < 0) {
        pid_ = -1;
        ::close(fds[0]);
        error_ = QStringLiteral("Xvfb could not be started");
        return false;
    }

    QByteArray number;
    pollfd readable{fds[0], POLLIN, 0};
    while (!number.endsWith('\n')) {
        const int ready = ::poll(&readable, 1, startTimeoutMs);
        if (ready < 0 && errno == EINTR)
            continue;
        char chunk[16];
        const ssize_t count = ready > 0 ? ::read(fds[0], chunk, sizeof chunk) : 0;
        if (count <= 0)
            break;
        number.append(chunk, count);
    }
    ::close(fds[0]);
    if (!number.endsWith('\n')) {
        error_ = QStringLiteral("Xvfb started but reported no display");
        kill();
        return false;
    }
    display_ = ':' + number.trimmed();
    return true;
}

bool XvfbServer::setLayouts(const QString& layouts, const QString& variants, const QString& options) {
    QStringList arguments{QStringLiteral("-display"), QString::fromLatin1(display_),
                          QStringLiteral("-layout"), layouts};
    if (!variants.isEmpty())
        arguments << QStringLiteral("-variant") << variants;
    // An empty -option first clears options a previous call set.
    arguments << QStringLiteral("-option") << QString();
    if (!options.isEmpty())
        arguments << QStringLiteral("-option") << options;
    QProcess setxkbmap;
    setxkbmap.start(QStringLiteral("setxkbmap"), arguments);
    return setxkbmap.waitForFinished(startTimeoutMs) && setxkbmap.exitStatus() == QProcess::NormalExit &&
           setxkbmap.exitCode() == 0;
}

void XvfbServer::kill() { endWith(SIGKILL); }

void XvfbServer::stop() { endWith(SIGTERM); }

void XvfbServer::endWith(int signalNumber) {
    if (pid_ <= 0)
        return;
    ::kill(pid_, signalNumber);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
}

} // namespace velmora::test
