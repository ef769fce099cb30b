#pragma once

#include <QString>
#include <QStringList>

namespace velmora {

// The layout of each XKB group, read from the keymap's symbols name, e.g.
// "pc+ru+us(intl):2+inet(evdev)" gives {"ru", "us(intl)"}. A component without
// a ":N" suffix belongs to group 1; the first layout component of a group is
// its layout, so per-group options that follow it ("level3(ralt_alt):2") do not
// replace it. Entry i is group i + 1; a group the name does not mention is an
// empty string.
QStringList layoutsFromSymbolsName(const QString& symbolsName);

} // namespace velmora
