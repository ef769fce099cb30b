#pragma once

// <xcb/xkb.h> names a struct field "explicit", which C++ reserves; the rename
// is confined to this one include.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
