#pragma once

#include "platform/AccessibilityTrust.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

#include <xcb/xcb.h>

namespace velmora {

// A connection of Velmora's own to the X server (never Qt's), with XKB set up
// and, when asked for, XInput 2.2. Disconnects when destroyed.
class X11Connection {
public:
    // Returns null when the display cannot be used, and says why in *problem
    // (its English sentence has no trailing full stop). An empty name means DISPLAY.
    static std::unique_ptr<X11Connection> open(const QByteArray& displayName, bool needXInput22,
                                               UntrustedReason* problem);
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    xcb_connection_t* get() const { return connection_; }
    bool hasError() const;
    int fileDescriptor() const;
    // The display as messages name it: the name given, else DISPLAY.
    const QString& displayName() const { return displayName_; }
    xcb_window_t rootWindow() const { return rootWindow_; }
    uint8_t xkbFirstEvent() const { return xkbFirstEvent_; }
    uint8_t xinputOpcode() const { return xinputOpcode_; }

private:
    static QString describeDisplay(const QByteArray& displayName);
    X11Connection(xcb_connection_t* connection, QString displayName);
    // Empty when the extension is there in the version Velmora needs.
    UntrustedReason setUpXkb();
    UntrustedReason setUpXInput22();

    xcb_connection_t* connection_;
    QString displayName_;
    xcb_window_t rootWindow_ = XCB_NONE;
    uint8_t xkbFirstEvent_ = 0;
    uint8_t xinputOpcode_ = 0;
};

} // namespace velmora
