#include "e2e/VelmoraProcess.h"

#include "support/WaitUntil.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace velmora::test {

VelmoraProcess::VelmoraProcess(const QByteArray& display, const QString& configHome,
                               const QString& runtimeDir)
    : VelmoraProcess(QProcessEnvironment::systemEnvironment()) {
    QProcessEnvironment environment = process_.processEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // The automatic update check must not leave this machine.
    environment.insert(QStringLiteral("VELMORA_UPDATE_FEED_URL"),
                       QStringLiteral("http://127.0.0.1:9/version.json"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("XDG_SESSION_TYPE"));
    process_.setProcessEnvironment(environment);
    wrapper_ = qEnvironmentVariable("VELMORA_E2E_WRAPPER").split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (!wrapper_.isEmpty())
        process_.setProgram(wrapper_.first());
}

VelmoraProcess::VelmoraProcess(const QProcessEnvironment& environment) {
    process_.setProcessEnvironment(environment);
    process_.setProgram(QStringLiteral(VELMORA_BINARY));
}

VelmoraProcess::~VelmoraProcess() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
    for (int fd : stalledPipe_)
        if (fd >= 0)
            ::close(fd);
}

void VelmoraProcess::setEnvironment(const QString& name, const QString& value) {
    QProcessEnvironment environment = process_.processEnvironment();
    environment.insert(name, value);
    process_.setProcessEnvironment(environment);
}

void VelmoraProcess::stallStandardOutput() {
    if (stalledPipe_[0] >= 0 || ::pipe2(stalledPipe_, O_CLOEXEC) != 0)
        return;
    const int writeEnd = stalledPipe_[1];
    process_.setChildProcessModifier([writeEnd] { ::dup2(writeEnd, STDOUT_FILENO); });
}

bool VelmoraProcess::start(const QStringList& arguments) {
    process_.setArguments(wrapper_.isEmpty()
                              ? arguments
                              : wrapper_.mid(1) + QStringList{QStringLiteral(VELMORA_BINARY)} + arguments);
    process_.start();
    return process_.waitForStarted(10000);
}

QStringList VelmoraProcess::lines() {
    partial_ += process_.readAllStandardOutput();
    for (qsizetype newline; (newline = partial_.indexOf('\n')) >= 0; partial_.remove(0, newline + 1))
        lines_.append(QString::fromUtf8(partial_.left(newline)));
    return lines_;
}

QString VelmoraProcess::lineWith(const QString& text) {
    for (const QString& line : lines())
        if (line.contains(text))
            return line;
    return {};
}

QString VelmoraProcess::waitForLine(const QString& text, int timeoutMs) {
    QString found;
    waitUntil(
        [&] {
            process_.waitForReadyRead(10);
            found = lineWith(text);
            // A program that has ended prints nothing more.
            return !found.isEmpty() || process_.state() == QProcess::NotRunning;
        },
        timeoutMs);
    return found;
}

int VelmoraProcess::waitForExit(int timeoutMs) {
    if (process_.state() != QProcess::NotRunning && !process_.waitForFinished(timeoutMs))
        return -1;
    lines();
    return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
}

int VelmoraProcess::terminate(int timeoutMs) {
    // A process that is gone has id 0, and kill(0) would hit this whole group.
    if (const qint64 pid = process_.processId(); pid > 0)
        ::kill(static_cast<pid_t>(pid), SIGTERM);
    return waitForExit(timeoutMs);
}

} // namespace velmora::test
