#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace velmora::test {

// The real velmora binary on a test display, its standard output read line
// by line as it comes.
class VelmoraProcess {
public:
    VelmoraProcess(const QByteArray& display, const QString& configHome, const QString& runtimeDir);
    // Any other session: the environment is used as it is.
    explicit VelmoraProcess(const QProcessEnvironment& environment);
    ~VelmoraProcess();

    bool start(const QStringList& arguments = {});
    // Waits for a line containing the text; returns it, or an empty string.
    QString waitForLine(const QString& text, int timeoutMs = 10000);
    bool hasLine(const QString& text);
    QStringList lines();
    // SIGTERM, as a logout does; returns the exit code (or -1).
    int terminate(int timeoutMs = 10000);
    int waitForExit(int timeoutMs = 10000);

private:
    void readAvailable();

    QProcess process_;
    QStringList lines_;
    QByteArray partial_;
};

} // namespace velmora::test
