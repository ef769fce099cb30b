#include "platform/x11/X11Connection.h"

#include "platform/x11/XcbReply.h"

#include <QtGlobal>

#include <csignal>
#include <mutex>

#include "platform/x11/XcbXkb.h"
#include <xcb/xinput.h>

namespace velmora {

namespace {

// Writing to the socket of an X server that has gone away raises SIGPIPE,
// whose default action would end the process instead of letting the broken
// connection be reported.
void ignoreBrokenPipes() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction current {};
        if (sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
            std::signal(SIGPIPE, SIG_IGN);
    });
}

} // namespace

QString X11Connection::describeDisplay(const QByteArray& displayName) {
    if (!displayName.isEmpty())
        return QString::fromLocal8Bit(displayName);
    return QString::fromLocal8Bit(qgetenv("DISPLAY"));
}

std::unique_ptr<X11Connection> X11Connection::open(const QByteArray& displayName, bool needXInput22,
                                                   UntrustedReason* problem) {
    ignoreBrokenPipes();
    const QString described = describeDisplay(displayName);
    auto fail = [problem](UntrustedReason why) {
        if (problem != nullptr)
            *problem = std::move(why);
        return nullptr;
    };
    if (described.isEmpty())
        return fail({UntrustedReason::Cause::noDisplay,
                     {},
                     QStringLiteral("no X display is set (DISPLAY is empty)")});

    int screenNumber = 0;
    xcb_connection_t* raw =
        xcb_connect(displayName.isEmpty() ? nullptr : displayName.constData(), &screenNumber);
    std::unique_ptr<X11Connection> connection(new X11Connection(raw, described));
    if (xcb_connection_has_error(raw))
        return fail({UntrustedReason::Cause::displayUnreachable,
                     {described},
                     QStringLiteral("cannot connect to the X display %1").arg(described)});

    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(raw));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    if (screens.rem > 0)
        connection->rootWindow_ = screens.data->root;

    if (UntrustedReason why = connection->setUpXkb(); !why.isEmpty())
        return fail(std::move(why));
    if (needXInput22) {
        if (UntrustedReason why = connection->setUpXInput22(); !why.isEmpty())
            return fail(std::move(why));
        if (connection->rootWindow_ == XCB_NONE)
            return fail(
                {UntrustedReason::Cause::displayWithoutScreen,
                 {described, QString::number(screenNumber)},
                 QStringLiteral("the X display %1 has no screen %2").arg(described).arg(screenNumber)});
    }
    return connection;
}

X11Connection::X11Connection(xcb_connection_t* connection, QString displayName)
    : connection_(connection), displayName_(std::move(displayName)) {}

X11Connection::~X11Connection() { xcb_disconnect(connection_); }

bool X11Connection::hasError() const { return xcb_connection_has_error(connection_) != 0; }

int X11Connection::fileDescriptor() const { return xcb_get_file_descriptor(connection_); }

UntrustedReason X11Connection::setUpXkb() {
    const QString needed = QStringLiteral("XKB %1.%2").arg(XCB_XKB_MAJOR_VERSION).arg(XCB_XKB_MINOR_VERSION);
    auto lacking = [&](const QString& english) {
        return UntrustedReason{
            UntrustedReason::Cause::displayLacksExtension, {displayName_, needed}, english};
    };
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection_, &xcb_xkb_id);
    if (extension == nullptr || !extension->present)
        return lacking(QStringLiteral("the X display %1 has no XKB extension").arg(displayName_));
    xkbFirstEvent_ = extension->first_event;
    XcbReply<xcb_xkb_use_extension_reply_t> reply(xcb_xkb_use_extension_reply(
        connection_, xcb_xkb_use_extension(connection_, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION),
        nullptr));
    if (!reply || !reply->supported)
        return lacking(QStringLiteral("the X display %1 does not support %2").arg(displayName_, needed));
    return {};
}

UntrustedReason X11Connection::setUpXInput22() {
    const QString needed = QStringLiteral("XInput 2.2");
    auto lacking = [&](const QString& english) {
        return UntrustedReason{
            UntrustedReason::Cause::displayLacksExtension, {displayName_, needed}, english};
    };
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection_, &xcb_input_id);
    if (extension == nullptr || !extension->present)
        return lacking(QStringLiteral("the X display %1 has no XInput extension").arg(displayName_));
    xinputOpcode_ = extension->major_opcode;
    // Asking for 2.2 is what makes the server deliver raw events while another
    // client holds a keyboard grab.
    XcbReply<xcb_input_xi_query_version_reply_t> reply(xcb_input_xi_query_version_reply(
        connection_, xcb_input_xi_query_version(connection_, 2, 2), nullptr));
    if (!reply)
        return lacking(
            QStringLiteral("the X display %1 does not answer the XInput 2 version query").arg(displayName_));
    if (reply->major_version < 2 || (reply->major_version == 2 && reply->minor_version < 2))
        return lacking(QStringLiteral("the X display %1 offers XInput %2.%3, and Velmora needs 2.2")
                           .arg(displayName_)
                           .arg(reply->major_version)
                           .arg(reply->minor_version));
    return {};
}

} // namespace velmora
