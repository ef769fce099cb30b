#pragma once

#include <QHash>
#include <QString>

#include <optional>

namespace velmora {

// xkeyboard-config's catalogue of layouts: the description of each layout and
// variant ("English (US, intl., with dead keys)") and its identifier in
// "layout" or "layout(variant)" form ("us(intl)"). A keymap's group names are
// these descriptions.
class XkbLayoutRegistry {
public:
    static QString defaultRulesFile();
    // An unreadable file gives an empty registry.
    static XkbLayoutRegistry load(const QString& rulesFile = defaultRulesFile());
    static XkbLayoutRegistry fromXml(const QByteArray& xml);

    std::optional<QString> identifierFor(const QString& description) const;
    int size() const { return int(identifiers_.size()); }

private:
    QHash<QString, QString> identifiers_;
};

} // namespace velmora
