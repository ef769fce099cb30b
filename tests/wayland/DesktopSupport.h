#pragma once

// What the desktops of the Wayland tests share, each in its own file.

#include "wayland/Desktops.h"

#include <QDBusConnection>
#include <QProcessEnvironment>
#include <QStringList>
#include <QVariantList>

#include <memory>

namespace velmora::test {

QString readText(const QString& path);
// The environment with "NAME=value" variables set; the test process's own
// environment by default, without another session's traces.
QProcessEnvironment with(const QStringList& variables, bool inherit = true);
// A method call's first argument as an index, or -1.
int indexReply(QDBusConnection bus, const QString& service, const QString& path, const QString& interface,
               const QString& method, const QVariantList& arguments = {});
// The scripts that start GNOME Shell (in private namespaces), Cinnamon and
// enter a root filesystem, beside this file.
QString script(const char* name);

std::unique_ptr<Desktop> makeCinnamon(bool wayland);

} // namespace velmora::test
