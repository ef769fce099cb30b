#include "settings/DefaultsCommand.h"

#include "settings/Constants.h"
#include "settings/SettingsStore.h"

#include <QDateTime>

namespace velmora {

namespace {

const QStringList booleanKeys = {
    Constants::useCommandKey,   Constants::useControlKey,         Constants::useOptionKey,
    Constants::useShiftKey,     Constants::switchToEnglish,       Constants::restorePreviousLayout,
    Constants::launchAtLogin,   Constants::showMenuBarIcon,       Constants::enableDebugMode,
    Constants::enableUsageStats, Constants::enableAutoUpdates,    Constants::hasLaunchedBefore,
    Constants::hasShownPermissionRequest,
};
const QStringList stringKeys = {Constants::appLanguage, Constants::skipUpdateVersion,
                                Constants::shortcutLayout};

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
    return booleanKeys + stringKeys + QStringList{Constants::lastUpdateCheck};
}

QString DefaultsCommand::usage() {
    return QStringLiteral("usage: velmora defaults read [KEY]\n"
                          "       velmora defaults write KEY [-bool|-string] VALUE\n"
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
    const QVariant value = store_.object(key);
    if (!value.isValid()) {
        err_(QStringLiteral("velmora defaults: %1 is not set").arg(key));
        return 1;
    }
    // Booleans print as the defaults tool prints them.
    if (booleanKeys.contains(key))
        out_(QLatin1String(store_.boolForKey(key) ? "1" : "0"));
    else
        out_(render(value));
    return 0;
}

int DefaultsCommand::write(const QStringList& arguments) {
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
    if (!knownKeys().contains(key) || key == Constants::lastUpdateCheck) {
        err_(QStringLiteral("velmora defaults: %1 is not a setting that can be written; known settings: %2")
                 .arg(key, (booleanKeys + stringKeys).join(QStringLiteral(", "))));
        return 2;
    }
    const bool wantsBool = type == QLatin1String("-bool") || (type.isEmpty() && booleanKeys.contains(key));
    if (wantsBool != booleanKeys.contains(key)) {
        err_(QStringLiteral("velmora defaults: %1 takes a %2 value").arg(key, QLatin1String(booleanKeys.contains(key) ? "-bool" : "-string")));
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
