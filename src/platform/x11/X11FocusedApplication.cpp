#include "platform/x11/X11FocusedApplication.h"

#include "platform/x11/X11Connection.h"
#include "platform/x11/XcbReply.h"

#include <QSocketNotifier>

#include <cstring>

namespace velmora {

namespace {

xcb_atom_t intern(xcb_connection_t* c, const char* name) {
    XcbReply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr));
    return reply ? reply->atom : XCB_NONE;
}

} // namespace

X11FocusedApplication::X11FocusedApplication(const QByteArray& displayName) {
    UntrustedReason problem;
    connection_ = X11Connection::open(displayName, false, &problem);
    if (!connection_)
        return;
    xcb_connection_t* c = connection_->get();
    activeWindow_ = intern(c, "_NET_ACTIVE_WINDOW");
    supported_ = intern(c, "_NET_SUPPORTED");
    clientList_ = intern(c, "_NET_CLIENT_LIST");
    gtkId_ = intern(c, "_GTK_APPLICATION_ID");
    kdeDesktopFile_ = intern(c, "_KDE_NET_WM_DESKTOP_FILE");
    utf8_ = intern(c, "UTF8_STRING");
    wmName_ = intern(c, "_NET_WM_NAME");
    // Selected before the first reads, so that no change falls between them.
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, connection_->rootWindow(), XCB_CW_EVENT_MASK, &mask);
    readSupported();
    readActiveWindow();
    notifier_ = std::make_unique<QSocketNotifier>(connection_->fileDescriptor(), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { readEvents(); });
    readEvents();
}

X11FocusedApplication::~X11FocusedApplication() {
    notifier_.reset(); // before the connection closes its descriptor
}

void X11FocusedApplication::readEvents() {
    bool activeChanged = false, supportedChanged = false;
    while (XcbReply<xcb_generic_event_t> event{xcb_poll_for_event(connection_->get())}) {
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
            continue;
        const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event.get());
        activeChanged |= notify->atom == activeWindow_;
        supportedChanged |= notify->atom == supported_;
    }
    // A broken socket stays readable for ever; the notifier must not spin.
    if (connection_->hasError()) {
        notifier_->setEnabled(false);
        follows_ = false;
        activeChanged = identifier_.has_value() || window_.has_value();
        identifier_.reset();
        window_.reset();
    }
    if (supportedChanged)
        readSupported();
    if (activeChanged && !connection_->hasError())
        readActiveWindow();
    else if (activeChanged)
        notifyChanged();
}

void X11FocusedApplication::readSupported() {
    const QByteArray atoms = property(connection_->rootWindow(), supported_, XCB_ATOM_ATOM);
    const auto* list = reinterpret_cast<const xcb_atom_t*>(atoms.constData());
    bool follows = false;
    for (qsizetype i = 0; i < atoms.size() / qsizetype(sizeof(xcb_atom_t)); ++i)
        follows |= list[i] == activeWindow_;
    follows_ = follows;
}

void X11FocusedApplication::readActiveWindow() {
    const QByteArray active = property(connection_->rootWindow(), activeWindow_, XCB_ATOM_WINDOW);
    xcb_window_t window = XCB_NONE;
    if (active.size() >= qsizetype(sizeof window))
        memcpy(&window, active.constData(), sizeof window);
    std::optional<QString> identifier = window != XCB_NONE ? identifierOf(window) : std::nullopt;
    std::optional<QString> key =
        window != XCB_NONE ? std::optional(QString::number(window, 16)) : std::nullopt;
    if (identifier == identifier_ && key == window_)
        return;
    identifier_ = std::move(identifier);
    window_ = std::move(key);
    notifyChanged();
}

std::optional<QString> X11FocusedApplication::identifierOf(xcb_window_t window) const {
    for (const xcb_atom_t name : {gtkId_, kdeDesktopFile_}) {
        QString text = QString::fromUtf8(property(window, name, XCB_ATOM_ANY));
        if (text.endsWith(QLatin1String(".desktop")))
            text.chop(8);
        if (!text.isEmpty())
            return text;
    }
    // WM_CLASS holds the instance and the class, each ending in a zero.
    const QList<QByteArray> parts = property(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING).split('\0');
    if (parts.size() >= 2 && !parts[1].isEmpty())
        return QString::fromLatin1(parts[1]);
    return std::nullopt;
}

QByteArray X11FocusedApplication::property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type) const {
    if (!connection_ || name == XCB_NONE)
        return {};
    xcb_connection_t* c = connection_->get();
    XcbReply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, name, type, 0, 4096), nullptr));
    if (!reply || reply->type == XCB_NONE)
        return {};
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

QList<QPair<QString, QString>> X11FocusedApplication::openApplications() const {
    QList<QPair<QString, QString>> applications;
    if (!connection_ || connection_->hasError())
        return applications;
    const QByteArray windows = property(connection_->rootWindow(), clientList_, XCB_ATOM_WINDOW);
    const auto* list = reinterpret_cast<const xcb_window_t*>(windows.constData());
    QStringList seen;
    for (qsizetype i = 0; i < windows.size() / qsizetype(sizeof(xcb_window_t)); ++i) {
        const std::optional<QString> identifier = identifierOf(list[i]);
        if (!identifier || seen.contains(*identifier, Qt::CaseInsensitive))
            continue;
        seen.append(*identifier);
        QString title = QString::fromUtf8(property(list[i], wmName_, utf8_));
        if (title.isEmpty())
            title = QString::fromLatin1(property(list[i], XCB_ATOM_WM_NAME, XCB_ATOM_STRING));
        applications.append({*identifier, title});
    }
    return applications;
}

} // namespace velmora
