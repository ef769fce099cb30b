#pragma once

#include <QPointer>
#include <QPropertyAnimation>
#include <QString>
#include <QWidget>

#include <functional>

class QScrollArea;

namespace velmora {

class AdvancedTab;
class ExcludedApplicationsList;
class GeneralTab;
class TabButton;

// The content of the preferences window: a General, an Applications and an
// Advanced tab under a row of tab buttons. The scroll area holding the selected tab takes the
// height of its content, and the window grows or shrinks with it, keeping its
// top edge in place.
class PreferencesView final : public QWidget {
    Q_OBJECT
    Q_PROPERTY(qreal displayedHeight READ displayedHeight WRITE setDisplayedHeight)

public:
    // What the view asks of the application; each may be left empty.
    struct Actions {
        // After every change of the start-at-login switch, with the new value.
        std::function<void(bool)> setAutoLaunch;
        // "Check Now": a check for updates that the user started.
        std::function<void()> checkForUpdates;
        // The applications running now, offered first to the excluded list.
        std::function<QList<QPair<QString, QString>>()> runningApplications;
    };

    explicit PreferencesView(Actions actions = {}, QWidget* parent = nullptr);
    ~PreferencesView() override;

    int selectedTab() const { return selectedTab_; }
    // Shows a tab; the buttons' selection fades over, and the heights follow
    // the new content.
    void selectTab(int tab);

    // The scroll area's height as last decided; displayedHeight moves towards
    // it while the height animation runs.
    qreal targetHeight() const { return targetHeight_; }
    qreal displayedHeight() const { return displayedHeight_; }
    void setDisplayedHeight(qreal height);

    // Follows a measured content height: a new target height, animated, and
    // the window resized a moment later, unless the change is too small.
    void updateContentHeight(qreal contentHeight);
    // Resizes this view's window to the height, animated, with the top edge
    // fixed, when the window's title names the product; otherwise nothing.
    void resizeWindow(int height);
    // The selected tab's natural height at the scroll area's current width.
    qreal measuredContentHeight() const;

    // Every control redrawn from the store; the switches also follow each
    // change the store announces.
    void refresh();
    // Texts in the current interface language (the Advanced tab's are fixed).
    void retranslate();

    GeneralTab* generalTab() const { return general_; }
    AdvancedTab* advancedTab() const { return advanced_; }
    ExcludedApplicationsList* applicationsTab() const { return applications_; }
    TabButton* tabButton(int tab) const;
    QScrollArea* scrollArea() const { return scrollArea_; }
    const QPropertyAnimation* heightAnimation() const { return heightAnimation_; }
    const QPropertyAnimation* windowAnimation() const { return windowAnimation_; }

    QSize sizeHint() const override;

protected:
    void showEvent(QShowEvent* event) override;
    // Return activates the focused button, a tab's included.
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void scheduleMeasurement();
    void reportContentHeight();

    int selectedTab_ = 0;
    qreal targetHeight_;
    qreal displayedHeight_;
    qreal lastReportedHeight_ = -1;
    bool appeared_ = false;
    bool measurementPending_ = false;

    TabButton* generalButton_;
    TabButton* advancedButton_;
    TabButton* applicationsButton_;
    QScrollArea* scrollArea_;
    QWidget* column_;
    GeneralTab* general_;
    AdvancedTab* advanced_;
    ExcludedApplicationsList* applications_;
    QPropertyAnimation* heightAnimation_;
    QPointer<QPropertyAnimation> windowAnimation_;
};

} // namespace velmora
