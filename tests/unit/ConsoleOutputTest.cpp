#include "base/ConsoleOutput.h"

#include <QStringList>

#include <gtest/gtest.h>

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
    QByteArray readAll() {
        QByteArray all;
        char buffer[65536];
        ssize_t n;
        while ((n = ::read(fds_[0], buffer, sizeof buffer)) > 0)
            all.append(buffer, n);
        ::close(fds_[0]);
        return all;
    }

private:
    int fds_[2] = {-1, -1};
    int saved_ = -1;
};

TEST(ConsoleOutputTest, LinesFromTwoThreadsNeverInterleave) {
    // Long lines make a torn write likely if a line took more than one write.
    const QString a = QStringLiteral("🐛 ") + QString(300, QLatin1Char('a'));
    const QString b = QStringLiteral("❌ ") + QString(300, QLatin1Char('b'));
    constexpr int perThread = 100;
    StdoutPipe pipe;
    // The pipe holds 64 KiB; drain it while writing so writers never block.
    QByteArray collected;
    std::thread reader;
    {
        std::thread first([&] { for (int i = 0; i < perThread; ++i) ConsoleOutput::writeLine(a); });
        std::thread second([&] { for (int i = 0; i < perThread; ++i) ConsoleOutput::writeLine(b); });
        reader = std::thread([&] { collected = pipe.readAll(); });
        first.join();
        second.join();
    }
    pipe.restore();
    reader.join();

    const QStringList lines = QString::fromUtf8(collected).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2 * perThread);
    EXPECT_EQ(lines.count(a), perThread);
    EXPECT_EQ(lines.count(b), perThread);
}

TEST(ConsoleOutputTest, SinkReceivesWholeUtf8LinesAndCanBeRemoved) {
    QByteArrayList received;
    ConsoleOutput::setSink([&](std::string_view line) { received.append(QByteArray(line.data(), line.size())); });
    ConsoleOutput::writeLine(QStringLiteral("⌨️ Current layout: Русская"));
    ConsoleOutput::setSink({});
    StdoutPipe pipe;
    ConsoleOutput::writeLine(QStringLiteral("after"));
    pipe.restore();
    EXPECT_EQ(received, QByteArrayList{QByteArray("⌨️ Current layout: Русская\n")});
    EXPECT_EQ(pipe.readAll(), QByteArray("after\n"));
}

} // namespace
