#include "updates/AppVersion.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>

namespace velmora {

namespace {

const QString decodingDomain = QStringLiteral("UpdateFeedDecoding");

enum DecodingCode {
    tooLarge = 1,
    notJson = 2,
    notAnObject = 3,
    keyMissing = 4,
    valueNull = 5,
    valueNotString = 6
};

QString typeName(const QJsonValue& value) {
    switch (value.type()) {
    case QJsonValue::Bool:
        return QStringLiteral("a Boolean");
    case QJsonValue::Double:
        return QStringLiteral("a number");
    case QJsonValue::Array:
        return QStringLiteral("an array");
    case QJsonValue::Object:
        return QStringLiteral("an object");
    default:
        return QStringLiteral("not a string");
    }
}

std::optional<AppVersion> fail(Error* error, DecodingCode code, const QString& description) {
    if (error != nullptr)
        *error = Error{decodingDomain, code, description};
    return std::nullopt;
}

} // namespace

std::optional<AppVersion> AppVersion::decode(const QByteArray& body, Error* error) {
    if (body.size() > maximumFeedSize)
        return fail(error, tooLarge,
                    QStringLiteral("The update information is larger than %1 bytes.").arg(maximumFeedSize));
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return fail(error, notJson,
                    QStringLiteral("The update information is not valid JSON: %1 at offset %2.")
                        .arg(parseError.errorString(), QString::number(parseError.offset)));
    if (!document.isObject())
        return fail(error, notAnObject, QStringLiteral("The update information is not a JSON object."));

    const QJsonObject object = document.object();
    AppVersion record;
    const std::pair<QString, QString*> members[] = {
        {QStringLiteral("name"), &record.name},
        {QStringLiteral("version"), &record.version},
        {QStringLiteral("url"), &record.url},
    };
    for (const auto& [key, field] : members) {
        const auto found = object.constFind(key);
        if (found == object.constEnd())
            return fail(error, keyMissing, QStringLiteral("The update information has no \"%1\".").arg(key));
        const QJsonValue value = found.value();
        if (value.isNull())
            return fail(error, valueNull,
                        QStringLiteral("\"%1\" in the update information is null.").arg(key));
        if (!value.isString())
            return fail(error, valueNotString,
                        QStringLiteral("\"%1\" in the update information is %2, not a string.")
                            .arg(key, typeName(value)));
        *field = value.toString();
    }
    // Optional: whatever else they hold, the package then cannot be verified.
    const std::pair<QString, std::optional<QString>*> checks[] = {
        {QStringLiteral("sha256"), &record.sha256},
        {QStringLiteral("signature"), &record.signature},
    };
    for (const auto& [key, field] : checks) {
        const QJsonValue value = object.value(key);
        if (value.isString())
            *field = value.toString();
    }
    return record;
}

QByteArray AppVersion::encode() const {
    QJsonObject object{
        {QStringLiteral("name"), name},
        {QStringLiteral("version"), version},
        {QStringLiteral("url"), url},
    };
    if (sha256)
        object.insert(QStringLiteral("sha256"), *sha256);
    if (signature)
        object.insert(QStringLiteral("signature"), *signature);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace velmora
