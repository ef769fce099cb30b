#include "e2e/VelmoraProcess.h"

#include "support/WaitUntil.h"

namespace velmora::test {

VelmoraProcess::VelmoraProcess(const QByteArray& display, const QString& configHome,
                               const QString& runtimeDir)
    : VelmoraProcess(QProcessEnvironment::systemEnvironment()) {
    // The automatic update check must not leave this machine.
    for (const auto& [name, value] :
         {std::pair{"DISPLAY", QString::fromLatin1(display)},
          {"XDG_CONFIG_HOME", configHome},
          {"XDG_RUNTIME_DIR", runtimeDir},
          {"QT_QPA_PLATFORM", QStringLiteral("xcb")},
          {"VELMORA_UPDATE_FEED_URL", QStringLiteral("http://127.0.0.1:9/version.json")},
          {"WAYLAND_DISPLAY", QString()},
          {"XDG_SESSION_TYPE", QString()}})
        setEnvironment(name, value);
}

VelmoraProcess::VelmoraProcess(const QProcessEnvironment& environment)
    : wrapper_(qEnvironmentVariable("VELMORA_E2E_WRAPPER").split(' ', Qt::SkipEmptyParts)) {
    process_.setProcessEnvironment(environment);
    process_.setProgram(wrapper_.isEmpty() ? QStringLiteral(VELMORA_BINARY) : wrapper_.first());
}

void VelmoraProcess::setEnvironment(const QString& name, const QString& value) {
    QProcessEnvironment environment = process_.processEnvironment();
    value.isNull() ? environment.remove(name) : environment.insert(name, value);
    process_.setProcessEnvironment(environment);
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

QString VelmoraProcess::waitForLine(const QString& text, int timeoutMs) {
    QString found;
    waitUntil(
        [&] {
            process_.waitForReadyRead(10);
            found = lines().filter(text).value(0);
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

} // namespace velmora::test
