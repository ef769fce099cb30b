#include "ui/WindowHelper.h"

#include "ui/HostWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>

namespace velmora {

HostWindow* WindowHelper::createWindow(const QString& title, QWidget* rootView, WindowDelegate* delegate,
                                       int width, int height) {
    auto* window = new HostWindow(rootView, QSize(width, height));
    window->setWindowTitle(title);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window->setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window->size(),
                                                screen->availableGeometry()));
    window->setDelegate(delegate);
    if (hasSizeLimits(title))
        window->setSizeLimits(minimumSize, maximumSize);
    return window;
}

bool WindowHelper::hasSizeLimits(const QString& title) {
    return title.contains(QStringLiteral("Velmora"), Qt::CaseSensitive) ||
           title.contains(QStringLiteral("настройки"), Qt::CaseSensitive);
}

} // namespace velmora
