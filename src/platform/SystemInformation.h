#pragma once

#include <QString>

#include <optional>

namespace velmora {

// Facts about the machine for the diagnostic block.
class SystemInformation {
public:
    virtual ~SystemInformation() = default;
    virtual std::optional<QString> hostName() = 0;
    virtual std::optional<QString> hardwareModel() = 0;
    virtual std::optional<QString> applicationId() = 0;
};

} // namespace velmora
