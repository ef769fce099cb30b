#pragma once

#include "ui/OnboardingPage.h"

#include <QWidget>

class QScrollArea;

namespace velmora {

class SymbolView;

// One onboarding page: its symbol in the accent colour, the heading, the
// subtitle and the feature lines.
class OnboardingPageView final : public QWidget {
    Q_OBJECT

public:
    static constexpr int symbolSize = 96;

    explicit OnboardingPageView(const OnboardingPage& page, QWidget* parent = nullptr);

    const OnboardingPage& page() const { return page_; }
    QScrollArea* scrollArea() const { return scrollArea_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    OnboardingPage page_;
    QScrollArea* scrollArea_;
    SymbolView* symbol_ = nullptr;
};

} // namespace velmora
