#pragma once

#include <QString>

#include <functional>
#include <string_view>

namespace velmora {

// The diagnostic stream: standard output, one whole line per write, so lines
// written by two threads never interleave mid-line. A writer thread does the
// writing, so a terminal or pipe that stops reading never stalls the caller:
// lines wait in a bounded queue, and when it is full they are dropped and
// counted in one line written once the stream takes output again.
class ConsoleOutput {
public:
    static void writeLine(const QString& line);

    // Receives each line (UTF-8, with its line feed) instead of standard
    // output, synchronously on the caller's thread; an empty function
    // restores standard output.
    using Sink = std::function<void(std::string_view line)>;
    static void setSink(Sink sink);

    // Waits until every queued line is written; gives up, returning false,
    // once the stream has taken nothing for two seconds. Runs at exit too.
    static bool flush();

    // Writes the bytes to the file descriptor with as many write calls as the
    // kernel needs (one, for a line to a pipe or terminal).
    static bool writeAll(int fd, std::string_view bytes);
};

} // namespace velmora
