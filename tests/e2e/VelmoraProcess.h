#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace velmora::test {

// The real velmora binary, its standard output read line by line as it comes.
// VELMORA_E2E_WRAPPER (e.g. "valgrind --tool=memcheck") runs it under a tool.
class VelmoraProcess {
public:
    // On a test display, with its own configuration and runtime folders.
    VelmoraProcess(const QByteArray& display, const QString& configHome, const QString& runtimeDir);
    explicit VelmoraProcess(const QProcessEnvironment& environment); // any other session
    ~VelmoraProcess() { process_.kill(), process_.waitForFinished(5000); }

    void setEnvironment(const QString& name, const QString& value); // a null value removes it
    bool start(const QStringList& arguments = {});
    qint64 processId() const { return process_.processId(); }
    // How much longer than usual everything takes (under a wrapper).
    static int slowdown() { return qEnvironmentVariableIsEmpty("VELMORA_E2E_WRAPPER") ? 1 : 10; }
    // Waits for a line containing the text; returns it, or an empty string.
    QString waitForLine(const QString& text, int timeoutMs = 10000);
    bool hasLine(const QString& text) { return !lines().filter(text).isEmpty(); }
    QStringList lines();
    // SIGTERM, as a logout does; returns the exit code (or -1).
    int terminate(int timeoutMs = 10000) { return process_.terminate(), waitForExit(timeoutMs); }
    int waitForExit(int timeoutMs = 10000);

private:
    QProcess process_;
    QStringList lines_;
    QByteArray partial_;
    QStringList wrapper_;
};

} // namespace velmora::test
