#include "localization/SupportedLanguage.h"

#include <QHash>

#include <algorithm>
#include <array>

namespace velmora {

namespace {

struct Description {
    SupportedLanguage::Case value;
    const char16_t* rawValue;
    const char16_t* displayName;
    // A desktop language matches by its first two letters, and when hints are
    // given, only if it also contains one of them.
    std::array<const char16_t*, 2> hints = {};
};

// In the order of the cases: the one list of Velmora's interface languages.
constexpr Description descriptions[] = {
    {SupportedLanguage::system, u"system", u"System Default", {}},
    {SupportedLanguage::english, u"en", u"English"},
    {SupportedLanguage::french, u"fr", u"Français"},
    {SupportedLanguage::german, u"de", u"Deutsch"},
    {SupportedLanguage::portuguese, u"pt", u"Português"},
    {SupportedLanguage::russian, u"ru", u"Русский"},
    {SupportedLanguage::spanish, u"es", u"Español"},
    {SupportedLanguage::ukrainian, u"uk", u"Українська"},
    {SupportedLanguage::japanese, u"ja", u"日本語"},
    // Only Simplified Chinese has a table; Traditional Chinese gets English.
    {SupportedLanguage::chineseSimplified, u"zh-Hans", u"简体中文", {u"Hans", u"CN"}},
};

const Description& describe(SupportedLanguage::Case value) { return descriptions[static_cast<int>(value)]; }

} // namespace

const QList<SupportedLanguage>& SupportedLanguage::allCases() {
    static const QList<SupportedLanguage> cases = [] {
        QList<SupportedLanguage> all;
        for (const Description& description : descriptions)
            all.append(SupportedLanguage(description.value));
        return all;
    }();
    return cases;
}

std::optional<SupportedLanguage> SupportedLanguage::fromRawValue(const QString& rawValue) {
    for (const Description& description : descriptions)
        if (rawValue == QStringView(description.rawValue))
            return SupportedLanguage(description.value);
    return std::nullopt;
}

std::optional<SupportedLanguage> SupportedLanguage::forDesktopLanguage(const QString& desktopLanguage) {
    const QStringView prefix = QStringView(desktopLanguage).left(2);
    for (const Description& description : descriptions) {
        if (description.value == system || prefix != QStringView(description.rawValue).left(2))
            continue;
        const bool hinted =
            std::any_of(description.hints.begin(), description.hints.end(), [&](const char16_t* hint) {
                return hint != nullptr && desktopLanguage.contains(QStringView(hint));
            });
        if (description.hints[0] == nullptr || hinted)
            return SupportedLanguage(description.value);
    }
    return std::nullopt;
}

QString SupportedLanguage::rawValue() const { return QString::fromUtf16(describe(value_).rawValue); }

QString SupportedLanguage::displayName() const { return QString::fromUtf16(describe(value_).displayName); }

size_t qHash(SupportedLanguage language, size_t seed) { return qHash(language.rawValue(), seed); }

} // namespace velmora

size_t std::hash<velmora::SupportedLanguage>::operator()(velmora::SupportedLanguage language) const noexcept {
    return velmora::qHash(language);
}
