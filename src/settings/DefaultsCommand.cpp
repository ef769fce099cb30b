#include "settings/DefaultsCommand.h"

#include "settings/SettingsSchema.h"
#include "settings/SettingsStore.h"

#include <QDateTime>

namespace velmora {

namespace {

QStringList keysOfType(SettingType type) {
    QStringList keys;
    for (const SettingDefinition& setting : SettingsSchema::all())
        if (setting.type == type)
            keys.append(setting.key);
    return keys;
}

bool isOfType(const QString& key, SettingType type) {
    const SettingDefinition* setting = SettingsSchema::find(key);
    return setting != nullptr && setting->type == type;
}

bool isBoolean(const QString& key) {
    return isOfType(key, SettingType::boolean);
}

// Dates are written by the program only; the command takes Booleans, text and lists.
QStringList writableKeys() {
    return keysOfType(SettingType::boolean) + keysOfType(SettingType::string) +
           keysOfType(SettingType::stringList);
}

QString quoted(const QString& text) {
    return u'"' + QString(text).replace(u'\\', QLatin1String("\\\\")).replace(u'"', QLatin1String("\\\"")) +
           u'"';
}

std::optional<bool> parseBool(const QString& text) {
    const QString value = text.trimmed().toLower();
    if (value == QLatin1String("true") || value == QLatin1String("yes") || value == QLatin1String("1"))
        return true;
    if (value == QLatin1String("false") || value == QLatin1String("no") || value == QLatin1String("0"))
        return false;
    return std::nullopt;
}

} // namespace

DefaultsCommand::DefaultsCommand(SettingsStore& store, Printer out, Printer err)
    : store_(store), out_(std::move(out)), err_(std::move(err)) {}

QStringList DefaultsCommand::knownKeys() {
    return writableKeys() + keysOfType(SettingType::date);
}

QString DefaultsCommand::usage() {
    return QStringLiteral("usage: velmora defaults read [KEY]\n"
                          "       velmora defaults write KEY [-bool|-string] VALUE\n"
                          "       velmora defaults write KEY -array [VALUE...]\n"
                          "       velmora defaults delete KEY");
}

int DefaultsCommand::run(const QStringList& arguments) {
    const QString verb = arguments.value(0);
    const QStringList rest = arguments.mid(1);
    if (verb == QLatin1String("read"))
        return read(rest);
    if (verb == QLatin1String("write"))
        return write(rest);
    if (verb == QLatin1String("delete"))
        return remove(rest);
    err_(usage());
    return 2;
}

QString DefaultsCommand::render(const QVariant& value) const {
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().toString(Qt::ISODate);
    if (value.typeId() == QMetaType::QStringList || value.typeId() == QMetaType::QVariantList) {
        QStringList items = value.toStringList();
        for (QString& item : items)
            item = quoted(item);
        return u'(' + items.join(QLatin1String(", ")) + u')';
    }
    return value.toString();
}

int DefaultsCommand::read(const QStringList& arguments) {
    if (arguments.size() > 1) {
        err_(usage());
        return 2;
    }
    if (arguments.isEmpty()) {
        QStringList keys = store_.allKeys();
        keys.sort();
        out_(QStringLiteral("{"));
        for (const QString& key : keys)
            out_(QStringLiteral("    %1 = %2;").arg(key, render(store_.object(key))));
        out_(QStringLiteral("}"));
        return 0;
    }
    const QString& key = arguments.first();
    // A list prints as the defaults tool prints an array; absent, it is empty.
    if (isOfType(key, SettingType::stringList)) {
        const QStringList items = store_.stringListForKey(key);
        out_(QStringLiteral("("));
        for (qsizetype i = 0; i < items.size(); ++i)
            out_(QStringLiteral("    ") + quoted(items[i]) + QLatin1String(i + 1 < items.size() ? "," : ""));
        out_(QStringLiteral(")"));
        return 0;
    }
    const QVariant value = store_.object(key);
    if (!value.isValid()) {
        err_(QStringLiteral("velmora defaults: %1 is not set").arg(key));
        return 1;
    }
    // Booleans print as the defaults tool prints them.
    if (isBoolean(key))
        out_(QLatin1String(store_.boolForKey(key) ? "1" : "0"));
    else
        out_(render(value));
    return 0;
}

int DefaultsCommand::write(const QStringList& arguments) {
    if (arguments.size() >= 2 && arguments[1] == QLatin1String("-array"))
        return writeList(arguments.first(), arguments.mid(2));
    QStringList words = arguments;
    QString type;
    if (words.size() == 3 && (words[1] == QLatin1String("-bool") || words[1] == QLatin1String("-string"))) {
        type = words.takeAt(1);
    }
    if (words.size() != 2) {
        err_(usage());
        return 2;
    }
    const QString& key = words[0];
    const QString& text = words[1];
    if (!writableKeys().contains(key)) {
        err_(QStringLiteral("velmora defaults: %1 is not a setting that can be written; known settings: %2")
                 .arg(key, writableKeys().join(QStringLiteral(", "))));
        return 2;
    }
    if (isOfType(key, SettingType::stringList)) {
        err_(QStringLiteral("velmora defaults: %1 takes a -array value").arg(key));
        return 2;
    }
    const bool wantsBool = type == QLatin1String("-bool") || (type.isEmpty() && isBoolean(key));
    if (wantsBool != isBoolean(key)) {
        err_(QStringLiteral("velmora defaults: %1 takes a %2 value").arg(key, QLatin1String(isBoolean(key) ? "-bool" : "-string")));
        return 2;
    }
    if (wantsBool) {
        const std::optional<bool> value = parseBool(text);
        if (!value) {
            err_(QStringLiteral("velmora defaults: \"%1\" is not a Boolean (use true or false)").arg(text));
            return 2;
        }
        store_.setBool(key, *value);
    } else {
        store_.setString(key, text);
    }
    return 0;
}

int DefaultsCommand::writeList(const QString& key, const QStringList& items) {
    if (!isOfType(key, SettingType::stringList)) {
        err_(QStringLiteral("velmora defaults: %1 does not take a -array value").arg(key));
        return 2;
    }
    store_.setStringList(key, items);
    return 0;
}

int DefaultsCommand::remove(const QStringList& arguments) {
    if (arguments.size() != 1) {
        err_(usage());
        return 2;
    }
    if (!store_.hasObject(arguments.first())) {
        err_(QStringLiteral("velmora defaults: %1 is not set").arg(arguments.first()));
        return 1;
    }
    store_.removeObject(arguments.first());
    return 0;
}

} // namespace velmora
