#include "base/ConsoleOutput.h"

#include <QByteArray>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace velmora {

namespace {

std::mutex sinkMutex;
ConsoleOutput::Sink& installedSink() {
    static ConsoleOutput::Sink sink;
    return sink;
}

// About six lines per switch: room for hundreds of switches while the reader
// is busy, and a bound on memory when it never reads again.
constexpr size_t queueCapacity = 4096;
constexpr auto stallLimit = std::chrono::seconds(2);

std::string_view viewOf(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<size_t>(bytes.size())};
}

class LineWriter {
public:
    void push(QByteArray line) {
        std::lock_guard lock(mutex_);
        if (closed_) {
            // After the exit flush: nothing is left to overtake.
            if (direct_)
                ConsoleOutput::writeAll(STDOUT_FILENO, viewOf(line));
            return;
        }
        if (pending_.size() >= queueCapacity) {
            ++dropped_;
            return;
        }
        pending_.push_back(std::move(line));
        if (!thread_.joinable())
            thread_ = std::thread([this] { run(); });
        wake_.notify_one();
    }

    bool flush() {
        std::unique_lock lock(mutex_);
        uint64_t seen = progress_;
        while (busy_ || !pending_.empty()) {
            if (idle_.wait_for(lock, stallLimit) == std::cv_status::no_timeout)
                continue;
            if (progress_ == seen)
                return false;
            seen = progress_;
        }
        return true;
    }

    void close() {
        const bool drained = flush();
        std::lock_guard lock(mutex_);
        closed_ = true;
        direct_ = drained;
    }

private:
    // Takes the whole queue at once: lines dropped meanwhile all came after
    // it, so their count is written right behind it, in order.
    void run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return !pending_.empty(); });
            std::vector<QByteArray> batch;
            batch.swap(pending_);
            const size_t dropped = std::exchange(dropped_, 0);
            busy_ = true;
            lock.unlock();
            for (const QByteArray& line : batch) {
                ConsoleOutput::writeAll(STDOUT_FILENO, viewOf(line));
                ++progress_;
            }
            if (dropped > 0) {
                const QByteArray notice = QStringLiteral("⚠️ %1 trace lines dropped: standard output is not keeping up\n")
                                              .arg(dropped)
                                              .toUtf8();
                ConsoleOutput::writeAll(STDOUT_FILENO, viewOf(notice));
            }
            lock.lock();
            busy_ = false;
            idle_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::vector<QByteArray> pending_;
    size_t dropped_ = 0;
    bool busy_ = false;
    bool closed_ = false;
    bool direct_ = false;
    std::atomic<uint64_t> progress_{0};
    std::thread thread_;
};

// Never destroyed: the thread may still be blocked in a write at exit.
LineWriter& writer() {
    static LineWriter* const instance = [] {
        auto* created = new LineWriter;
        std::atexit([] { writer().close(); });
        return created;
    }();
    return *instance;
}

} // namespace

bool ConsoleOutput::writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

void ConsoleOutput::writeLine(const QString& line) {
    QByteArray bytes = line.toUtf8();
    bytes.append('\n');
    {
        std::lock_guard lock(sinkMutex);
        if (installedSink()) {
            installedSink()(viewOf(bytes));
            return;
        }
    }
    writer().push(std::move(bytes));
}

void ConsoleOutput::setSink(Sink sink) {
    std::lock_guard lock(sinkMutex);
    installedSink() = std::move(sink);
}

bool ConsoleOutput::flush() { return writer().flush(); }

} // namespace velmora
