#pragma once

#include "platform/SystemInformation.h"

namespace velmora {

// Host name from the kernel, model from the firmware tables (DMI).
class LinuxSystemInformation final : public SystemInformation {
public:
    explicit LinuxSystemInformation(QString productNamePath = QStringLiteral("/sys/class/dmi/id/product_name"));

    std::optional<QString> hostName() override;
    std::optional<QString> hardwareModel() override;
    std::optional<QString> applicationId() override;

private:
    QString productNamePath_;
};

} // namespace velmora
