#include "ui/SettingCheckBox.h"

#include "settings/SettingsSchema.h"
#include "settings/SettingsStore.h"

#include <QSignalBlocker>

namespace velmora {

SettingCheckBox::SettingCheckBox(const QString& key, QWidget* parent)
    : QCheckBox(parent), key_(key), defaultValue_(SettingsSchema::defaultValue(key).toBool()) {
    setObjectName(key);
    refresh();
    connect(this, &QCheckBox::toggled, this, &SettingCheckBox::store);
    // A change made elsewhere (another instance, "velmora defaults write", a
    // reset) shows at once, without running the change handler.
    connect(&SettingsStore::standard(), &SettingsStore::valueChanged, this, [this](const QString& changed) {
        if (changed == key_)
            refresh();
    });
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
