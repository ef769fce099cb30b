#pragma once

#include "platform/FocusedApplication.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QStringList>

#include <memory>

#include <xcb/xcb.h>

class QSocketNotifier;

namespace velmora {

class X11Connection;

// The application of the window the window manager reports active: the root
// window's _NET_ACTIVE_WINDOW, followed through its property notifications on
// a connection of its own, so that the identifier is known before any press.
// Identifier: _GTK_APPLICATION_ID, else _KDE_NET_WM_DESKTOP_FILE, else the
// WM_CLASS class; window key: the window's id. Without a window manager that
// lists _NET_ACTIVE_WINDOW in _NET_SUPPORTED, the focus is not followed.
class X11FocusedApplication final : public FocusedApplication {
public:
    // An empty display name means DISPLAY.
    explicit X11FocusedApplication(const QByteArray& displayName = {});
    ~X11FocusedApplication() override;
    X11FocusedApplication(const X11FocusedApplication&) = delete;
    X11FocusedApplication& operator=(const X11FocusedApplication&) = delete;

    bool followsFocus() const override { return follows_; }
    std::optional<QString> identifier() const override { return identifier_; }
    std::optional<QString> windowKey() const override { return window_; }

    // The identifiers of the windows the window manager lists (_NET_CLIENT_LIST),
    // each with its window title, without repeats.
    QList<QPair<QString, QString>> openApplications() const;

private:
    void readEvents();
    void readSupported();
    void readActiveWindow();
    std::optional<QString> identifierOf(xcb_window_t window) const;
    QByteArray property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type) const;

    std::unique_ptr<X11Connection> connection_;
    std::unique_ptr<QSocketNotifier> notifier_;
    xcb_atom_t activeWindow_ = XCB_NONE, supported_ = XCB_NONE, clientList_ = XCB_NONE, gtkId_ = XCB_NONE,
               kdeDesktopFile_ = XCB_NONE, utf8_ = XCB_NONE, wmName_ = XCB_NONE;
    bool follows_ = false;
    std::optional<QString> identifier_, window_;
};

} // namespace velmora
