#include "platform/linux/LinuxSystemInformation.h"

#include "base/ApplicationIdentity.h"

#include <QFile>
#include <QSysInfo>

namespace velmora {

LinuxSystemInformation::LinuxSystemInformation(QString productNamePath)
    : productNamePath_(std::move(productNamePath)) {}

std::optional<QString> LinuxSystemInformation::hostName() {
    const QString name = QSysInfo::machineHostName();
    return name.isEmpty() ? std::nullopt : std::optional(name);
}

std::optional<QString> LinuxSystemInformation::hardwareModel() {
    QFile file(productNamePath_);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString model = QString::fromUtf8(file.readAll()).trimmed();
    return model.isEmpty() ? std::nullopt : std::optional(model);
}

std::optional<QString> LinuxSystemInformation::applicationId() { return ApplicationIdentity::applicationId(); }

} // namespace velmora
