#pragma once

#include "base/Error.h"
#include "base/HttpExchange.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <source_location>

namespace velmora {

// A usage-event parameter value: a string or a Boolean.
class ParameterValue {
public:
    ParameterValue(const QString& text) : text_(text) {}
    ParameterValue(const char* text) : text_(QString::fromUtf8(text)) {}
    ParameterValue(bool value) : isBool_(true), boolValue_(value) {}

    bool isBool() const { return isBool_; }
    bool boolValue() const { return boolValue_; }
    const QString& text() const { return text_; }
    bool operator==(const ParameterValue&) const = default;

private:
    QString text_;
    bool isBool_ = false;
    bool boolValue_ = false;
};

struct EventParameter {
    QString key;
    ParameterValue value;
};
using EventParameters = QList<EventParameter>;

// The diagnostic trace on standard output. The debug and usage switches are
// read at every call, so an edit takes effect at the next line. Callable from
// any thread.
class Logger {
public:
    // Reads one switch. The settings install theirs, so the trace sits below
    // them; with none installed, both switches are off.
    using Switch = bool (*)();
    static void setSwitches(Switch debug, Switch usage);

    // "🐛 [HH:mm:ss.SSS] [file:line] function: message", in debug mode only.
    static void log(const QString& message, std::source_location where = std::source_location::current());
    static void log(const QString& message, const QString& file, const QString& function, int line);

    // "❌ [...] ...: description", always; plus "   Error details: ..." in debug mode.
    static void logError(const Error& error, std::source_location where = std::source_location::current());
    static void logError(const Error& error, const QString& file, const QString& function, int line);

    // A dump of one HTTP exchange, in debug mode only.
    static void logNetworkRequest(const HttpRequestRecord& request,
                                  const std::optional<HttpResponseRecord>& response = std::nullopt,
                                  const std::optional<QByteArray>& data = std::nullopt,
                                  const std::optional<Error>& error = std::nullopt);

    // "📊 [yyyy-MM-dd HH:mm:ss] Analytics: name" and its parameter line, only
    // while both usage statistics and debug mode are on. Nothing leaves the
    // machine.
    static void trackEvent(const QString& name, const EventParameters& parameters = {});

    // "[\"key\": \"text\", \"flag\": true]"
    static QString renderDictionary(const EventParameters& entries);
    static QString renderDictionary(const QList<QPair<QString, QString>>& entries);
    // The calling operation as the trace shows it: "resetAllSettings()" from
    // "void velmora::resetAllSettings()".
    static QString operationName(const char* signature);
    // Everything after the last "/".
    static QString fileName(const QString& path);
};

} // namespace velmora
