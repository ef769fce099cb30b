#pragma once

class QWidget;

namespace velmora {

// Told when one of Velmora's windows is about to close, by the user or in
// code, while the window still has this delegate.
class WindowDelegate {
public:
    virtual ~WindowDelegate() = default;
    virtual void windowWillClose(QWidget* window) = 0;
};

} // namespace velmora
