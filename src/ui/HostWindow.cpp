#include "ui/HostWindow.h"

#include "ui/WindowDelegate.h"

#include <QCloseEvent>
#include <QVBoxLayout>
#include <QWindow>

namespace velmora {

HostWindow::HostWindow(QWidget* rootView, QSize contentSize) : layout_(new QVBoxLayout(this)) {
    // Titled, closable and resizable; no minimize button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose, false);
    // Velmora lives in the tray: closing its last window must not end it.
    setAttribute(Qt::WA_QuitOnClose, false);

    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    // The layout must not impose the root view's minimum on the window: the
    // only limits are the ones setSizeLimits gives the window manager.
    layout_->setSizeConstraint(QLayout::SetNoConstraint);
    if (rootView != nullptr) {
        contentView_ = rootView;
        layout_->addWidget(rootView);
    }
    resize(contentSize);
    create();
}

HostWindow::~HostWindow() = default;

void HostWindow::clearContentView() {
    if (!contentView_)
        return;
    QWidget* view = contentView_;
    contentView_.clear();
    layout_->removeWidget(view);
    view->hide();
    view->deleteLater();
}

void HostWindow::setSizeLimits(QSize minimum, QSize maximum) {
    hasSizeLimits_ = true;
    minimumLimit_ = minimum;
    maximumLimit_ = maximum;
    giveSizeHints();
}

void HostWindow::giveSizeHints() {
    if (!hasSizeLimits_)
        return;
    // Set on the native window, not the widget: QWidget would resize itself
    // into the new limits at once. QWindow passes on only a changed hint.
    windowHandle()->setMinimumSize(minimumLimit_.boundedTo(size()));
    windowHandle()->setMaximumSize(maximumLimit_.expandedTo(size()));
}

void HostWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    giveSizeHints();
}

QSize HostWindow::minimumContentSize() const {
    return windowHandle()->minimumSize();
}

QSize HostWindow::maximumContentSize() const {
    return windowHandle()->maximumSize();
}

void HostWindow::closeEvent(QCloseEvent* event) {
    if (delegate_ != nullptr)
        delegate_->windowWillClose(this);
    event->accept();
}

} // namespace velmora
