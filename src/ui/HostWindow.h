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

    // Limits for the user's resizing. Window managers enforce their hints at
    // once, on an open window too, so the hints given are the limits widened
    // to hold the window's current size: a window opens at its own size, is
    // never resized by the limits, and the hints narrow to the limits as the
    // user's resizing takes the window into them.
    void setSizeLimits(QSize minimum, QSize maximum);
    bool hasSizeLimits() const { return hasSizeLimits_; }
    // The hints the window manager has now.
    QSize minimumContentSize() const;
    QSize maximumContentSize() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void giveSizeHints();

    QVBoxLayout* layout_;
    QPointer<QWidget> contentView_;
    WindowDelegate* delegate_ = nullptr;
    bool hasSizeLimits_ = false;
    QSize minimumLimit_;
    QSize maximumLimit_;
};

} // namespace velmora
