#pragma once

#include "platform/TextInputSources.h"

#include <QStringList>

#include <cstdint>

namespace velmora {

// Stateless operations on the operating system. They reach it through the
// installed Platform and report what they do with plain status lines on
// standard output, whatever the debug setting.
class SystemUtils {
public:
    SystemUtils() = delete;

    // Input sources.
    static InputSourceRef getCurrentInputSource();
    static bool isEnglishLayout(const InputSourceRef& source);
    static bool selectEnglishLayout();
    // The identifiers that count as English on this platform, compared as
    // whole, case-sensitive strings.
    static const QStringList& englishLayoutIdentifiers();
};

} // namespace velmora
