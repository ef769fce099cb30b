#pragma once

#include <QString>
#include <QStringList>

#include <mutex>

namespace velmora::test {

// Collects every line written to the diagnostic stream while it lives.
class CapturedOutput {
public:
    CapturedOutput();
    ~CapturedOutput();

    QStringList lines() const;
    // Lines that start with the prefix.
    QStringList linesStartingWith(const QString& prefix) const;
    // The messages of the lines with this mark: each line after `after`, past its time and place.
    QStringList messages(const QString& mark, const QString& after = QStringLiteral("(): ")) const;
    void clear();

private:
    mutable std::mutex mutex_;
    QStringList lines_;
};

} // namespace velmora::test
