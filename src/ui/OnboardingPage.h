#pragma once

#include <QString>
#include <QStringList>

namespace velmora {

// One page of the onboarding; its texts are already in the interface language.
struct OnboardingPage {
    QString icon; // a symbol name, see SymbolIcons
    QString title;
    QString subtitle;
    QStringList features;

    bool operator==(const OnboardingPage&) const = default;
};

} // namespace velmora
