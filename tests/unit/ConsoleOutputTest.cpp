#include "base/ConsoleOutput.h"
#include "diagnostics/Logger.h"
#include "settings/Constants.h"
#include "settings/InMemorySettingsStore.h"
#include "support/CapturedOutput.h"
#include "support/Files.h"
#include "support/WaitUntil.h"

#include <QCoreApplication>
#include <QProcess>

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

using namespace velmora;

namespace {

// The thread waiting in write(2) on standard output, else 0: the barrier before acting on a stuck writer.
int stalledWriter() {
    const QByteArray call = QByteArray::number(SYS_write) + " 0x1 ";
    for (const QString& task : QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (test::readFile(QStringLiteral("/proc/self/task/%1/syscall").arg(task)).startsWith(call))
            return task.toInt();
    return 0;
}

// The lines standard output gets while it is a full pipe that nobody reads until `write` returns: the writer
// thread stalls on the line "held", and what `write` writes waits in the queue.
QList<QByteArray> linesBehindAStalledReader(const std::function<void(int writer)>& write) {
    EXPECT_TRUE(ConsoleOutput::flush());
    int fds[2];
    EXPECT_EQ(::pipe2(fds, O_NONBLOCK), 0);
    qsizetype filled = 0;
    while (::write(fds[1], "x", 1) == 1)
        ++filled;
    ::fcntl(fds[0], F_SETFL, 0), ::fcntl(fds[1], F_SETFL, 0);
    const int saved = ::dup(STDOUT_FILENO);
    ::dup2(fds[1], STDOUT_FILENO);
    ::close(fds[1]);
    ConsoleOutput::writeLine(QStringLiteral("held"));
    int writer = 0;
    EXPECT_TRUE(test::waitUntil([&] { return (writer = stalledWriter()) != 0; }));
    write(writer);
    QByteArray all;
    std::thread reader([&] {
        QFile pipe;
        all = pipe.open(fds[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle) ? pipe.readAll() : "";
    });
    EXPECT_TRUE(ConsoleOutput::flush());
    ::dup2(saved, STDOUT_FILENO), ::close(saved);
    reader.join();
    QList<QByteArray> lines = all.mid(filled).split('\n');
    EXPECT_EQ(lines.takeLast(), "") << "every line ends with a line feed";
    EXPECT_EQ(lines.value(0), "held");
    return lines.mid(1);
}

// Two threads write behind the stalled reader: the first lines wait whole and in each thread's order, and the
// rest is counted in one notice behind them.
TEST(ConsoleOutputTest, AStalledReaderGetsWholeLinesInOrderThenANoticeOfTheDroppedEvenOfOne) {
    const auto writeMany = [](char tag, int count) {
        for (int n = 0; n < count; ++n)
            ConsoleOutput::writeLine(QStringLiteral("%1 %2").arg(tag).arg(n));
    };
    qsizetype queued = 0;
    for (const bool justOneTooMany : {false, true}) { // the first round learns how many lines fit
        const int total = justOneTooMany ? int(queued) + 1 : 20000;
        QList<QByteArray> lines = linesBehindAStalledReader([&](int) {
            std::thread first(writeMany, 'A', total - total / 2), second(writeMany, 'B', total / 2);
            first.join();
            second.join();
        });
        const QByteArray notice = lines.isEmpty() ? QByteArray() : lines.takeLast();
        EXPECT_EQ(notice, QStringLiteral("⚠️ %1 trace lines dropped: standard output is not keeping up")
                              .arg(total - lines.size())
                              .toUtf8());
        int next[2] = {0, 0};
        for (const QByteArray& line : lines)
            ASSERT_EQ(line, QStringLiteral("%1 %2").arg(line[0]).arg(next[line.startsWith('B')]++).toUtf8());
        queued = lines.size();
    }
}

std::atomic<bool> interrupted;

TEST(ConsoleOutputTest, AWriteInterruptedByASignalCarriesOn) {
    struct sigaction action = {}, previous = {}; // no SA_RESTART: the blocked write(2) fails with EINTR
    action.sa_handler = [](int) { interrupted = true; };
    ::sigaction(SIGUSR1, &action, &previous);
    EXPECT_EQ(linesBehindAStalledReader([](int writer) {
                  ::syscall(SYS_tgkill, ::getpid(), writer, SIGUSR1);
                  EXPECT_TRUE(test::waitUntil([] { return interrupted.load(); }));
              }),
              QList<QByteArray>{});
    ::sigaction(SIGUSR1, &previous, nullptr);
}

// Lines of atexit handlers and static destructors, written after the exit flush, go straight out. The child
// registers its handler before the writer registers its flush, so it runs after it.
TEST(ConsoleOutputTest, LinesWrittenAfterTheExitFlushStillArrive) {
    if (qEnvironmentVariableIsSet("VELMORA_LATE_LINE_CHILD")) {
        std::atexit([] { ConsoleOutput::writeLine(QStringLiteral("late")); });
        ConsoleOutput::writeLine(QStringLiteral("early"));
        return;
    }
    qputenv("VELMORA_LATE_LINE_CHILD", "1");
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=ConsoleOutputTest.LinesWrittenAfter*"});
    qunsetenv("VELMORA_LATE_LINE_CHILD");
    ASSERT_TRUE(child.waitForFinished());
    const QByteArray output = child.readAllStandardOutput();
    EXPECT_TRUE(output.contains("early\n") && output.contains("\nlate\n")) << output.toStdString();
}

class LoggerTest : public ::testing::Test {
protected:
    void SetUp() override { SettingsStore::setStandard(store); }
    void TearDown() override { SettingsStore::setStandard(nullptr); }
    // The trace of `write` with the switches named in `on`, every digit of the clock reading as 0.
    std::string trace(const QString& on, void (*write)()) {
        store->setBool(Constants::enableDebugMode, on.contains(QStringLiteral("debug")));
        store->setBool(Constants::enableUsageStats, on.contains(QStringLiteral("usage")));
        test::CapturedOutput output;
        write();
        QStringList lines = output.lines();
        for (QString& line : lines)
            for (qsizetype i = 0; i < line.indexOf(u']'); ++i)
                line[i] = line[i].isDigit() ? u'0' : line[i];
        return lines.join(u'\n').toStdString();
    }
    std::shared_ptr<InMemorySettingsStore> store = std::make_shared<InMemorySettingsStore>();
};

const Error feedGone{QStringLiteral("VelmoraUpdates"), 7, QStringLiteral("The feed is gone")};

// One exact trace per format, then what the debug and usage switches let through: errors only without debug.
const struct TraceCase {
    const char* switches;
    void (*write)();
    const char* trace;
} traceCases[] = {
    {"debug", [] { Logger::log("Hello %1", "/src/app/AppDelegate.cpp", "quitApp()", 7); },
     "🐛 [00:00:00.000] [AppDelegate.cpp:7] quitApp(): Hello %1"},
    {"debug", [] { Logger::logError(feedGone, "UpdateManager.cpp", "check()", 3); },
     "❌ [00:00:00.000] [UpdateManager.cpp:3] check(): The feed is gone\n"
     "   Error details: Error Domain=VelmoraUpdates Code=7 \"The feed is gone\""},
    {"usage",
     [] {
         Logger::log("m", "a.cpp", "f()", 1);
         Logger::log("m");
         Logger::logNetworkRequest({});
         Logger::trackEvent("e");
         Logger::logError(feedGone, "a.cpp", "f()", 1);
     },
     "❌ [00:00:00.000] [a.cpp:1] f(): The feed is gone"},
};

TEST_F(LoggerTest, EachFormatAndWhatTheSwitchesLetThrough) {
    for (const TraceCase& row : traceCases)
        EXPECT_EQ(trace(QString::fromLatin1(row.switches), row.write), row.trace);
}

} // namespace
