#include "support/XvfbServer.h"

#include "support/WaitUntil.h"

#include <csignal>
#include <sys/prctl.h>

namespace velmora::test {

bool XvfbServer::start(QSize screen) {
    // Xvfb writes its display number to standard output; a crashed test run takes it along.
    process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process_.setStandardErrorFile(QProcess::nullDevice());
    process_.start(QStringLiteral("Xvfb"),
                   {"-noreset", "-nolisten", "tcp", "-displayfd", "1", "-screen", "0",
                    QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height())});
    while (process_.waitForReadyRead(10000) && !process_.canReadLine()) {
    }
    display_ = process_.canReadLine() ? ':' + process_.readLine().trimmed() : QByteArray();
    if (display_.isEmpty())
        error_ = QStringLiteral("Xvfb did not start: ") + process_.errorString();
    return !display_.isEmpty();
}

bool XvfbServer::startWindowManager() {
    windowManager_.setEnvironment(QProcess::systemEnvironment()
                                  << "DISPLAY=" + QString::fromLatin1(display_));
    windowManager_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    windowManager_.setStandardOutputFile(QProcess::nullDevice());
    windowManager_.setStandardErrorFile(QProcess::nullDevice());
    windowManager_.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    if (!windowManager_.waitForStarted(10000)) {
        error_ = QStringLiteral("openbox did not start: ") + windowManager_.errorString();
        return false;
    }
    // An EWMH window manager announces itself on the root window once it has taken over the screen.
    const bool managing = waitUntil([&] {
        QProcess xprop;
        xprop.start(QStringLiteral("xprop"),
                    {"-display", QString::fromLatin1(display_), "-root", "_NET_SUPPORTING_WM_CHECK"});
        return xprop.waitForFinished(5000) && xprop.readAllStandardOutput().contains("window id");
    });
    if (!managing)
        error_ = QStringLiteral("openbox did not take over the display");
    return managing;
}

bool XvfbServer::setLayouts(const QString& layouts, const QString& options) {
    // An empty -option first clears what a previous call set.
    QStringList arguments{"-display", QString::fromLatin1(display_), "-layout", layouts, "-option", ""};
    if (!options.isEmpty())
        arguments << "-option" << options;
    QProcess setxkbmap;
    setxkbmap.start(QStringLiteral("setxkbmap"), arguments);
    return setxkbmap.waitForFinished(10000) && setxkbmap.exitStatus() == QProcess::NormalExit &&
           setxkbmap.exitCode() == 0;
}

void XvfbServer::kill() {
    windowManager_.kill();
    windowManager_.waitForFinished(5000);
    process_.kill();
    process_.waitForFinished(5000);
}

} // namespace velmora::test
