#pragma once

#include "switching/PermissionFlow.h"
#include "ui/OnboardingPage.h"

#include <QList>
#include <QWidget>

#include <functional>

class QPushButton;

namespace velmora {

class PageSlider;
class ProgressSegment;

// The first-start introduction: what Velmora does, and why it needs to
// observe the keyboard. It ends by starting keyboard monitoring and closing
// its window when the user gets started with access already granted, and by
// only closing the window in every other way.
class OnboardingView final : public QWidget {
    Q_OBJECT

public:
    // The size the window opens at; the view follows any other.
    static constexpr QSize openingSize{500, 600};

    // What the view asks of the application; each may be left empty.
    struct Actions {
        std::function<void()> startKeyboardMonitoring;
        // Closes the onboarding window, if there is one.
        std::function<void()> closeWindow;
        // The application's permission flow; the view has its own without one.
        PermissionFlow* permissions = nullptr;
    };

    OnboardingView();
    explicit OnboardingView(Actions actions, QWidget* parent = nullptr);
    ~OnboardingView() override;

    // The two pages in the interface language of this moment.
    static QList<OnboardingPage> makePages();
    const QList<OnboardingPage>& pages() const { return pages_; }

    int currentPage() const { return currentPage_; }
    bool isShowingPermissionAlert() const { return showingPermissionAlert_; }

    void goBack();
    void goForward();
    // Get started: with keyboard access, monitoring starts and the window
    // closes; without it, the alert explains and offers help.
    void completeOnboarding();
    void closeOnboardingWindow();

    // Button and alert titles in the current interface language; the pages
    // keep the language they were made in.
    void retranslate();

    QPushButton* backButton() const { return back_; }
    QPushButton* primaryButton() const { return primary_; }
    QPushButton* skipButton() const { return skip_; }
    ProgressSegment* progressSegment(int index) const { return segments_.value(index); }
    PageSlider* pageSlider() const { return slider_; }

    // The colour of a progress bar for the current page.
    QColor segmentColor(int index) const;

protected:
    void changeEvent(QEvent* event) override;
    // Return activates the focused button; Escape closes the window.
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showPage(int page);
    void primaryPressed();
    void showPermissionAlert();
    void updateControls(bool animated);
    // Where the buttons are in the window, in the debug trace, after they moved.
    void traceButtons();

    PermissionFlow& permissions() {
        return actions_.permissions != nullptr ? *actions_.permissions : ownPermissions_;
    }

    Actions actions_;
    PermissionFlow ownPermissions_;
    QList<OnboardingPage> pages_;
    int currentPage_ = 0;
    bool showingPermissionAlert_ = false;
    bool buttonsTracePending_ = false;
    QList<ProgressSegment*> segments_;
    PageSlider* slider_;
    QPushButton* back_;
    QPushButton* primary_;
    QPushButton* skip_;
};

} // namespace velmora
