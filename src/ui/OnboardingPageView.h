#pragma once

#include "ui/OnboardingPage.h"

#include <QWidget>

class QLabel;

namespace velmora {

// One onboarding page: its symbol in the accent colour, the heading, the
// subtitle and the feature lines.
class OnboardingPageView final : public QWidget {
    Q_OBJECT

public:
    static constexpr int symbolSize = 96;

    explicit OnboardingPageView(const OnboardingPage& page, QWidget* parent = nullptr);

    const OnboardingPage& page() const { return page_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void redrawSymbol();

    OnboardingPage page_;
    QLabel* symbol_;
};

} // namespace velmora
