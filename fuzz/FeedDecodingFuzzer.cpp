// Any byte string as an update feed body: decoding never crashes or reads
// out of bounds, a refusal always says why, and what is accepted survives a
// round trip through the encoder.

#include "updates/AppVersion.h"

#include <cstdint>
#include <cstdlib>

namespace {

bool isWellFormed(const velmora::AppVersion& record) {
    const auto wellFormed = [](const std::optional<QString>& text) { return !text || text->isValidUtf16(); };
    return record.name.isValidUtf16() && record.version.isValidUtf16() && record.url.isValidUtf16() &&
           wellFormed(record.sha256) && wellFormed(record.signature);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Not copied, so that the sanitizer sees any read past the end.
    const QByteArray body =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    velmora::Error error;
    const std::optional<velmora::AppVersion> record = velmora::AppVersion::decode(body, &error);
    if (!record) {
        if (error.localizedDescription.isEmpty() || error.domain.isEmpty())
            std::abort();
        return 0;
    }
    // A lone surrogate from a "\ud800" escape cannot be written as UTF-8, so
    // only well-formed text is expected to come back unchanged.
    if (isWellFormed(*record)) {
        const std::optional<velmora::AppVersion> again = velmora::AppVersion::decode(record->encode());
        if (!again || *again != *record)
            std::abort();
    }
    return 0;
}
