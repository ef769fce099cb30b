#pragma once

#include <QList>
#include <QString>

#include <cstddef>
#include <functional>
#include <optional>

namespace velmora {

// The interface languages the user can pick, in the picker's order: the
// desktop's language ("system") and nine languages with their own tables.
class SupportedLanguage {
public:
    enum Case { system, english, french, german, portuguese, russian, spanish, ukrainian, japanese, chineseSimplified };

    constexpr SupportedLanguage(Case value) : value_(value) {}

    static const QList<SupportedLanguage>& allCases();
    // Exact and case-sensitive: "EN" and "zh-hans" name no case.
    static std::optional<SupportedLanguage> fromRawValue(const QString& rawValue);
    // The language with a table for one entry of the desktop's preferred
    // languages ("de-DE", "zh-Hans-CN"), by its first two letters; never system.
    static std::optional<SupportedLanguage> forDesktopLanguage(const QString& desktopLanguage);

    Case value() const { return value_; }
    // The language code stored under "AppLanguage", or "system".
    QString rawValue() const;
    // The language's name in that language; "System Default" for system, which
    // the picker replaces by its localized text.
    QString displayName() const;

    // Raw values are unique, so comparing cases compares raw values.
    bool operator==(const SupportedLanguage&) const = default;

private:
    Case value_;
};

size_t qHash(SupportedLanguage language, size_t seed = 0);

} // namespace velmora

template <>
struct std::hash<velmora::SupportedLanguage> {
    size_t operator()(velmora::SupportedLanguage language) const noexcept;
};
