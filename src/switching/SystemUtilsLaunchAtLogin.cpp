#include "base/ConsoleOutput.h"
#include "switching/SystemUtils.h"
#include "platform/Platform.h"
#include "settings/Constants.h"
#include "settings/SettingsStore.h"

namespace velmora {

bool SystemUtils::isAutoLaunchEnabled() {
    LoginItemService* service = Platform::current().loginItems.get();
    const bool enabled = service != nullptr && service->status() == LoginItemStatus::enabled;
    ConsoleOutput::writeLine(QStringLiteral("🚀 Auto Launch Status (XDG autostart): ") +
                             QLatin1String(enabled ? "true" : "false"));
    return enabled;
}

bool SystemUtils::setAutoLaunch(bool enabled) {
    LoginItemService* service = Platform::current().loginItems.get();
    const std::optional<Error> failure =
        service == nullptr ? std::optional(Error{QStringLiteral("VelmoraLoginItem"), 0,
                                                 QStringLiteral("No login item service on this system")})
        : enabled          ? service->registerItem()
                           : service->unregisterItem();
    if (failure) {
        ConsoleOutput::writeLine(QStringLiteral("❌ Auto launch error: ") + failure->fullDescription());
        return false;
    }
    SettingsStore::standard().setBool(Constants::launchAtLogin, enabled);
    ConsoleOutput::writeLine(QStringLiteral("✅ Auto launch %1 successfully (XDG autostart)")
                                 .arg(QLatin1String(enabled ? "enabled" : "disabled")));
    return true;
}

} // namespace velmora
