#include "diagnostics/Logger.h"

#include "base/ConsoleOutput.h"

#include <QDateTime>
#include <atomic>
#include <QStringDecoder>

namespace velmora {

namespace {

std::atomic<Logger::Switch>& debugSwitch() {
    static std::atomic<Logger::Switch> read{nullptr};
    return read;
}
std::atomic<Logger::Switch>& usageSwitch() {
    static std::atomic<Logger::Switch> read{nullptr};
    return read;
}
bool isOn(const std::atomic<Logger::Switch>& source) {
    const Logger::Switch read = source.load(std::memory_order_acquire);
    return read != nullptr && read();
}
bool debugMode() { return isOn(debugSwitch()); }

QString timeOfDay() { return QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")); }

QString sourceLine(const char* emoji, const QString& file, const QString& function, int line,
                   const QString& text) {
    return QStringLiteral("%1 [%2] [%3:%4] %5: %6")
        .arg(QString::fromUtf8(emoji), timeOfDay(), Logger::fileName(file), QString::number(line), function,
             text);
}

std::optional<QString> decodeUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

QString quoted(const QString& text) { return QLatin1Char('"') + text + QLatin1Char('"'); }

} // namespace

void Logger::setSwitches(Switch debug, Switch usage) {
    debugSwitch().store(debug, std::memory_order_release);
    usageSwitch().store(usage, std::memory_order_release);
}

QString Logger::fileName(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? path : path.mid(slash + 1);
}

QString Logger::operationName(const char* signature) {
    const QString text = QString::fromUtf8(signature);
    // The name ends at the first "(" outside template brackets; a lambda's
    // signature names the operation that holds it first, which is the one
    // worth showing.
    int depth = 0;
    qsizetype end = text.size();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('<'))
            ++depth;
        else if (c == QLatin1Char('>') && depth > 0)
            --depth;
        else if (c == QLatin1Char('(') && depth == 0) {
            end = i;
            break;
        }
    }
    QString name = text.left(end);
    const qsizetype space = name.lastIndexOf(QLatin1Char(' '));
    if (space >= 0)
        name = name.mid(space + 1);
    const qsizetype scope = name.lastIndexOf(QLatin1String("::"));
    if (scope >= 0)
        name = name.mid(scope + 2);
    return name + QStringLiteral("()");
}

QString Logger::renderDictionary(const EventParameters& entries) {
    QStringList rendered;
    rendered.reserve(entries.size());
    for (const EventParameter& entry : entries) {
        const QString value = entry.value.isBool()
                                  ? QString::fromLatin1(entry.value.boolValue() ? "true" : "false")
                                  : quoted(entry.value.text());
        rendered.append(quoted(entry.key) + QStringLiteral(": ") + value);
    }
    return QLatin1Char('[') + rendered.join(QStringLiteral(", ")) + QLatin1Char(']');
}

QString Logger::renderDictionary(const QList<QPair<QString, QString>>& entries) {
    EventParameters parameters;
    for (const auto& [key, value] : entries)
        parameters.append({key, ParameterValue(value)});
    return renderDictionary(parameters);
}

void Logger::log(const QString& message, std::source_location where) {
    if (!debugMode())
        return;
    ConsoleOutput::writeLine(sourceLine("🐛", QString::fromUtf8(where.file_name()),
                                        operationName(where.function_name()), static_cast<int>(where.line()),
                                        message));
}

void Logger::log(const QString& message, const QString& file, const QString& function, int line) {
    if (!debugMode())
        return;
    ConsoleOutput::writeLine(sourceLine("🐛", file, function, line, message));
}

void Logger::logError(const Error& error, std::source_location where) {
    logError(error, QString::fromUtf8(where.file_name()), operationName(where.function_name()),
             static_cast<int>(where.line()));
}

void Logger::logError(const Error& error, const QString& file, const QString& function, int line) {
    ConsoleOutput::writeLine(sourceLine("❌", file, function, line, error.localizedDescription));
    if (debugMode())
        ConsoleOutput::writeLine(QStringLiteral("   Error details: ") + error.fullDescription());
}

void Logger::logNetworkRequest(const HttpRequestRecord& request, const std::optional<HttpResponseRecord>& response,
                               const std::optional<QByteArray>& data, const std::optional<Error>& error) {
    if (!debugMode())
        return;
    ConsoleOutput::writeLine(QStringLiteral("🌐 [%1] Network Request:").arg(timeOfDay()));
    ConsoleOutput::writeLine(QStringLiteral("   URL: ") +
                             (request.url ? request.url->toString(QUrl::FullyEncoded) : QStringLiteral("Unknown")));
    ConsoleOutput::writeLine(QStringLiteral("   Method: ") +
                             (request.method.isEmpty() ? QStringLiteral("GET") : request.method));
    if (!request.headers.isEmpty())
        ConsoleOutput::writeLine(QStringLiteral("   Headers: ") + renderDictionary(request.headers));
    if (request.body) {
        if (const auto text = decodeUtf8(*request.body))
            ConsoleOutput::writeLine(QStringLiteral("   Body: ") + *text);
    }
    if (response && response->isHttp)
        ConsoleOutput::writeLine(QStringLiteral("   Response Code: ") + QString::number(response->statusCode));
    if (error)
        ConsoleOutput::writeLine(QStringLiteral("   Error: ") + error->localizedDescription);
    if (data) {
        if (const auto text = decodeUtf8(*data))
            ConsoleOutput::writeLine(QStringLiteral("   Response: ") + *text);
    }
}

void Logger::trackEvent(const QString& name, const EventParameters& parameters) {
    if (!isOn(usageSwitch()))
        return;
    const QString timestamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!debugMode())
        return;
    ConsoleOutput::writeLine(QStringLiteral("📊 [%1] Analytics: %2").arg(timestamp, name));
    if (!parameters.isEmpty())
        ConsoleOutput::writeLine(QStringLiteral("   Parameters: ") + renderDictionary(parameters));
}

} // namespace velmora
