#include "ui/SettingCheckBox.h"

#include "settings/SettingsStore.h"

#include <QSignalBlocker>

namespace velmora {

SettingCheckBox::SettingCheckBox(const QString& key, bool defaultValue, QWidget* parent)
    : QCheckBox(parent), key_(key), defaultValue_(defaultValue) {
    setObjectName(key);
    refresh();
    connect(this, &QCheckBox::toggled, this, &SettingCheckBox::store);
}

bool SettingCheckBox::storedValue() const {
    const SettingsStore& settings = SettingsStore::standard();
    return settings.hasObject(key_) ? settings.boolForKey(key_) : defaultValue_;
}

void SettingCheckBox::refresh() {
    const QSignalBlocker blocker(this);
    setChecked(storedValue());
}

void SettingCheckBox::store(bool value) {
    SettingsStore::standard().setBool(key_, value);
    if (changeHandler_)
        changeHandler_(value);
}

} // namespace velmora
