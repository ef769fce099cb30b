#include "support/CapturedOutput.h"

#include "base/ConsoleOutput.h"

namespace velmora::test {

CapturedOutput::CapturedOutput() {
    ConsoleOutput::setSink([this](std::string_view line) {
        QString text = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
        if (text.endsWith(QLatin1Char('\n')))
            text.chop(1);
        std::lock_guard lock(mutex_);
        lines_.append(text);
    });
}

CapturedOutput::~CapturedOutput() {
    ConsoleOutput::setSink({});
}

QStringList CapturedOutput::lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

QStringList CapturedOutput::linesStartingWith(const QString& prefix) const {
    QStringList found = lines();
    found.removeIf([&](const QString& line) { return !line.startsWith(prefix); });
    return found;
}

QStringList CapturedOutput::messages(const QString& mark, const QString& after) const {
    QStringList found;
    for (const QString& line : linesStartingWith(mark))
        found.append(line.section(after, 1));
    return found;
}

void CapturedOutput::clear() {
    std::lock_guard lock(mutex_);
    lines_.clear();
}

} // namespace velmora::test
