#pragma once

#include <QString>

#include <functional>
#include <string_view>

namespace velmora {

// The diagnostic stream: standard output, one whole line per write, so lines
// written by two threads never interleave mid-line.
class ConsoleOutput {
public:
    static void writeLine(const QString& line);

    // Receives each line (UTF-8, with its line feed) instead of standard
    // output; an empty function restores standard output.
    using Sink = std::function<void(std::string_view line)>;
    static void setSink(Sink sink);

    // Writes the bytes to the file descriptor with as many write calls as the
    // kernel needs (one, for a line to a pipe or terminal).
    static bool writeAll(int fd, std::string_view bytes);
};

} // namespace velmora
