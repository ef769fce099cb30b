#pragma once

#include <QSize>
#include <QString>

class QWidget;

namespace velmora {

class HostWindow;
class WindowDelegate;

// The one factory for Velmora's windows.
class WindowHelper {
public:
    WindowHelper() = delete;

    // Limits that apply when the title names the product (see hasSizeLimits).
    static constexpr QSize minimumSize{550, 290};
    static constexpr QSize maximumSize{750, 550};

    // A new window hosting rootView in a content area of width × height,
    // titled, closable and resizable, centred on the screen and not shown.
    // The caller owns the window; the window owns the root view.
    static HostWindow* createWindow(const QString& title, QWidget* rootView, WindowDelegate* delegate,
                                    int width, int height);

    // Whether a window with this title gets the size limits: the title
    // contains "Velmora" or "настройки", case-sensitive.
    static bool hasSizeLimits(const QString& title);
};

} // namespace velmora
