#pragma once

#include <QStringView>

#include <compare>

namespace velmora {

// The numeric order of version strings. Both strings are walked from the
// start: where both hold a run of ASCII digits, the runs compare as whole
// non-negative numbers of any length; everywhere else single code points
// compare by value; a string that ends while the other goes on orders first.
// So 1.9 < 1.10, 2.0 < 10.0, 1.0 < 1.0.0 and 1.2 < 1.2b. Runs that differ
// only in leading zeros are the same number ("1.01" is equivalent to "1.1"),
// which is why the result is a weak ordering.
class VersionOrder {
public:
    VersionOrder() = delete;

    static std::weak_ordering compare(QStringView left, QStringView right);
    static bool isBefore(QStringView left, QStringView right) { return compare(left, right) < 0; }
};

} // namespace velmora
