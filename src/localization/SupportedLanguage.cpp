#include "localization/SupportedLanguage.h"

#include <QHash>

namespace velmora {

namespace {

struct Description {
    SupportedLanguage::Case value;
    const char16_t* rawValue;
    const char16_t* displayName;
};

// In the order of the cases.
constexpr Description descriptions[] = {
    {SupportedLanguage::system, u"system", u"System Default"},
    {SupportedLanguage::english, u"en", u"English"},
    {SupportedLanguage::french, u"fr", u"Français"},
    {SupportedLanguage::german, u"de", u"Deutsch"},
    {SupportedLanguage::portuguese, u"pt", u"Português"},
    {SupportedLanguage::russian, u"ru", u"Русский"},
    {SupportedLanguage::spanish, u"es", u"Español"},
    {SupportedLanguage::ukrainian, u"uk", u"Українська"},
    {SupportedLanguage::japanese, u"ja", u"日本語"},
    {SupportedLanguage::chineseSimplified, u"zh-Hans", u"简体中文"},
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

QString SupportedLanguage::rawValue() const { return QString::fromUtf16(describe(value_).rawValue); }

QString SupportedLanguage::displayName() const { return QString::fromUtf16(describe(value_).displayName); }

size_t qHash(SupportedLanguage language, size_t seed) { return qHash(language.rawValue(), seed); }

} // namespace velmora

size_t std::hash<velmora::SupportedLanguage>::operator()(velmora::SupportedLanguage language) const noexcept {
    return velmora::qHash(language);
}
