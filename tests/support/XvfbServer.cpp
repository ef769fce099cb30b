#include "support/XvfbServer.h"

#include <csignal>
#include <sys/prctl.h>

namespace velmora::test {

bool XvfbServer::start() {
    // Xvfb writes its display number to standard output; a crashed test run takes it along.
    process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process_.setStandardErrorFile(QProcess::nullDevice());
    process_.start(QStringLiteral("Xvfb"),
                   {"-noreset", "-nolisten", "tcp", "-displayfd", "1", "-screen", "0", "640x480x24"});
    while (process_.waitForReadyRead(10000) && !process_.canReadLine()) {
    }
    display_ = process_.canReadLine() ? ':' + process_.readLine().trimmed() : QByteArray();
    if (display_.isEmpty())
        error_ = QStringLiteral("Xvfb did not start: ") + process_.errorString();
    return !display_.isEmpty();
}

bool XvfbServer::setLayouts(const QString& layouts, const QString& variants, const QString& options) {
    // An empty -option first clears what a previous call set.
    QStringList arguments{"-display", QString::fromLatin1(display_), "-layout", layouts, "-option", ""};
    if (!variants.isEmpty())
        arguments << "-variant" << variants;
    if (!options.isEmpty())
        arguments << "-option" << options;
    QProcess setxkbmap;
    setxkbmap.start(QStringLiteral("setxkbmap"), arguments);
    return setxkbmap.waitForFinished(10000) && setxkbmap.exitStatus() == QProcess::NormalExit &&
           setxkbmap.exitCode() == 0;
}

void XvfbServer::kill() {
    process_.kill();
    process_.waitForFinished(5000);
}

} // namespace velmora::test
