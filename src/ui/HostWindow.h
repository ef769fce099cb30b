#pragma once

#include <QPointer>
#include <QSize>
#include <QWidget>

class QVBoxLayout;

namespace velmora {

class WindowDelegate;

// A top-level window that hosts one root view filling its content area.
// Whoever creates it owns it: closing only hides it, and the root view lives
// until the window is destroyed or its content view is cleared.
class HostWindow final : public QWidget {
    Q_OBJECT

public:
    HostWindow(QWidget* rootView, QSize contentSize);
    ~HostWindow() override;

    QWidget* contentView() const { return contentView_; }
    // Releases the root view and all its state. The view is deleted once
    // control returns to the event loop, so a view may clear itself from
    // inside one of its own handlers.
    void clearContentView();

    WindowDelegate* delegate() const { return delegate_; }
    void setDelegate(WindowDelegate* delegate) { delegate_ = delegate; }

    // Limits for the user's resizing. They are hints to the window manager and
    // leave the current size alone, so a window can open outside them.
    void setSizeLimits(QSize minimum, QSize maximum);
    bool hasSizeLimits() const { return hasSizeLimits_; }
    QSize minimumContentSize() const;
    QSize maximumContentSize() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QVBoxLayout* layout_;
    QPointer<QWidget> contentView_;
    WindowDelegate* delegate_ = nullptr;
    bool hasSizeLimits_ = false;
};

} // namespace velmora
