#pragma once

#include <QStringList>

#include <functional>

namespace velmora {

class SettingsStore;

// "velmora defaults read [KEY] | write KEY [-bool|-string] VALUE |
// write KEY -array [VALUE...] | delete KEY":
// reads and changes Velmora's settings from outside the program, the way the
// debug switches are meant to be set. A running Velmora sees a change within
// about a second.
class DefaultsCommand {
public:
    using Printer = std::function<void(const QString& line)>;

    DefaultsCommand(SettingsStore& store, Printer out, Printer err);

    // The words after "defaults"; returns the exit status.
    int run(const QStringList& arguments);

    static QStringList knownKeys();
    static QString usage();

private:
    int read(const QStringList& arguments);
    int write(const QStringList& arguments);
    int writeList(const QString& key, const QStringList& items);
    int remove(const QStringList& arguments);
    QString render(const QVariant& value) const;

    SettingsStore& store_;
    Printer out_;
    Printer err_;
};

} // namespace velmora
