#pragma once

#include <QCheckBox>
#include <QString>

#include <functional>

namespace velmora {

// A checkbox bound to a Boolean setting: it shows the stored value (the
// schema's default while the key is absent) and stores each change at once,
// then runs the change handler with the new value. It follows changes the
// store announces, and refresh() redraws it, without running the handler.
class SettingCheckBox final : public QCheckBox {
    Q_OBJECT

public:
    explicit SettingCheckBox(const QString& key, QWidget* parent = nullptr);

    QString key() const { return key_; }
    bool defaultValue() const { return defaultValue_; }
    // The stored value, or the default while the key is absent.
    bool storedValue() const;

    void refresh();
    void setChangeHandler(std::function<void(bool)> handler) { changeHandler_ = std::move(handler); }

private:
    void store(bool value);

    QString key_;
    bool defaultValue_;
    std::function<void(bool)> changeHandler_;
};

} // namespace velmora
