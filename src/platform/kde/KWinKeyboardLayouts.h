#pragma once

#include <QDBusAbstractInterface>
#include <QList>
#include <QString>

#include <optional>

namespace velmora {

// KWin's keyboard layout interface (org.kde.keyboard /Layouts
// org.kde.KeyboardLayouts) as a proxy whose D-Bus signals are Qt signals.
class KWinKeyboardLayouts final : public QDBusAbstractInterface {
    Q_OBJECT
public:
    static constexpr const char* service = "org.kde.keyboard";
    static constexpr const char* path = "/Layouts";
    static constexpr const char* interfaceName = "org.kde.KeyboardLayouts";

    // One entry of getLayoutsList(): KWin's second field is the label the
    // user gave the layout, not its variant.
    struct Layout {
        QString shortName;
        QString label;
        QString longName;
    };

    KWinKeyboardLayouts(const QDBusConnection& connection, int timeoutMs, QObject* parent = nullptr);

    // Blocking calls, each bounded by the timeout; nothing when KWin does not answer.
    std::optional<QList<Layout>> layouts();
    std::optional<uint> layout();
    bool setLayout(uint index);

Q_SIGNALS:
    void layoutChanged(uint index);
    void layoutListChanged();
};

} // namespace velmora
