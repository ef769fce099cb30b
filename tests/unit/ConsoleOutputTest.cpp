#include "base/ConsoleOutput.h"

#include <QMap>
#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <numeric>
#include <thread>
#include <unistd.h>

using namespace velmora;

namespace {

// Sends standard output into a pipe for the lifetime of the object.
class StdoutPipe {
public:
    StdoutPipe() {
        EXPECT_EQ(::pipe(fds_), 0);
        saved_ = ::dup(STDOUT_FILENO);
        ::dup2(fds_[1], STDOUT_FILENO);
        ::close(fds_[1]);
    }
    ~StdoutPipe() { restore(); }
    void restore() {
        if (saved_ < 0)
            return;
        ::dup2(saved_, STDOUT_FILENO);
        ::close(saved_);
        saved_ = -1;
    }
    // Reads until every writer is gone (call restore() first).
    // A pause after each read of at most chunk bytes makes a slow reader.
    QByteArray readAll(size_t chunk = 65536, std::chrono::microseconds pause = {}) {
        QByteArray all;
        char buffer[65536];
        ssize_t n;
        while ((n = ::read(fds_[0], buffer, std::min(chunk, sizeof buffer))) > 0) {
            all.append(buffer, n);
            std::this_thread::sleep_for(pause);
        }
        ::close(fds_[0]);
        return all;
    }

private:
    int fds_[2] = {-1, -1};
    int saved_ = -1;
};

// Numbers lines "<tag> <n> <padding>"; returns the numbers seen per tag, in order.
QMap<QString, QList<int>> numbersByTag(const QStringList& lines, int* malformed) {
    QMap<QString, QList<int>> numbers;
    for (const QString& line : lines) {
        const QStringList words = line.split(QLatin1Char(' '));
        bool number = false;
        const int n = words.value(1).toInt(&number);
        if (number && words.size() == 3 && words[2].size() == 300)
            numbers[words[0]].append(n);
        else
            ++*malformed;
    }
    return numbers;
}

QString numbered(const char* tag, int n) {
    return QStringLiteral("%1 %2 %3").arg(QString::fromUtf8(tag)).arg(n).arg(QString(300, QLatin1Char('x')));
}

TEST(ConsoleOutputTest, SlowReaderGetsWholeLinesOfTwoThreadsInOrder) {
    // 600 KB: far more than the pipe holds, less than the queue.
    constexpr int perThread = 1000;
    StdoutPipe pipe;
    QByteArray collected;
    std::thread reader([&] { collected = pipe.readAll(4096, std::chrono::microseconds(500)); });
    std::thread first([&] { for (int i = 0; i < perThread; ++i) ConsoleOutput::writeLine(numbered("🐛", i)); });
    std::thread second([&] { for (int i = 0; i < perThread; ++i) ConsoleOutput::writeLine(numbered("❌", i)); });
    first.join();
    second.join();
    EXPECT_TRUE(ConsoleOutput::flush());
    pipe.restore();
    reader.join();

    int malformed = 0;
    const auto numbers = numbersByTag(QString::fromUtf8(collected).split(QLatin1Char('\n'), Qt::SkipEmptyParts), &malformed);
    EXPECT_EQ(malformed, 0);
    QList<int> expected(perThread);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(numbers.value(QStringLiteral("🐛")), expected);
    EXPECT_EQ(numbers.value(QStringLiteral("❌")), expected);
}

TEST(ConsoleOutputTest, PipeNobodyReadsNeverBlocksAndDroppedLinesAreCounted) {
    constexpr int total = 20000;
    StdoutPipe pipe;
    // Would hang here if a write reached the full pipe on this thread.
    for (int i = 0; i < total; ++i)
        ConsoleOutput::writeLine(numbered("🐛", i));
    QByteArray collected;
    std::thread reader([&] { collected = pipe.readAll(); });
    EXPECT_TRUE(ConsoleOutput::flush());
    pipe.restore();
    reader.join();

    const QRegularExpression notice(QStringLiteral("^⚠️ (\\d+) trace lines dropped: standard output is not keeping up$"));
    QStringList lines;
    int dropped = 0;
    int notices = 0;
    for (const QString& line : QString::fromUtf8(collected).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = notice.match(line);
        if (!match.hasMatch()) {
            lines.append(line);
            continue;
        }
        // The notice stands exactly where the lines went missing.
        const int next = int(lines.size()) + dropped;
        dropped += match.captured(1).toInt();
        ++notices;
        EXPECT_TRUE(lines.isEmpty() || lines.last() == numbered("🐛", next - 1)) << next;
    }
    int malformed = 0;
    const QList<int> kept = numbersByTag(lines, &malformed).value(QStringLiteral("🐛"));
    EXPECT_EQ(malformed, 0);
    EXPECT_GE(notices, 1);
    EXPECT_EQ(kept.size() + dropped, total);
    EXPECT_TRUE(std::is_sorted(kept.begin(), kept.end()));
}

TEST(ConsoleOutputTest, SinkReceivesWholeUtf8LinesAndCanBeRemoved) {
    QByteArrayList received;
    ConsoleOutput::setSink([&](std::string_view line) { received.append(QByteArray(line.data(), line.size())); });
    ConsoleOutput::writeLine(QStringLiteral("⌨️ Current layout: Русская"));
    ConsoleOutput::setSink({});
    StdoutPipe pipe;
    ConsoleOutput::writeLine(QStringLiteral("after"));
    ConsoleOutput::flush();
    pipe.restore();
    EXPECT_EQ(received, QByteArrayList{QByteArray("⌨️ Current layout: Русская\n")});
    EXPECT_EQ(pipe.readAll(), QByteArray("after\n"));
}

} // namespace
