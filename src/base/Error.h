#pragma once

#include <QString>

namespace velmora {

// A failure with a text for the user and a complete representation for the
// trace, in the form "Error Domain=<domain> Code=<code> "<description>"".
struct Error {
    QString domain;
    int code = 0;
    QString localizedDescription;

    QString fullDescription() const;
};

} // namespace velmora
