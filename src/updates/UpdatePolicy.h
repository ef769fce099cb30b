#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace velmora::UpdatePolicy {

// The update decisions, free of settings, network and clock: the caller reads
// those and passes them in.

// The running version as compared: "1.0" when the build carries none.
QString runningVersion(const QString& bundleVersion);

// Whether `offered` is worth offering to someone running `current`: it orders
// after it, and it is not the version the user skipped, unless the skipped
// version is to be ignored (a check the user started).
bool isNewer(const QString& current, const QString& offered, const std::optional<QString>& skipped,
             bool ignoreSkipped);

// Whether an automatic check is due: automatic updates are on and a whole
// calendar day has passed since the last successful check. A check that was
// never made, or whose date cannot be read, is due; a date in the future
// never is.
bool isDue(bool automaticUpdates, const std::optional<QDateTime>& lastCheck, const QDateTime& now);

// Whole days from `from` to `to` as a calendar counts them in the local time
// zone: the same clock time on the next day is one day, however many hours a
// daylight-saving change put between them.
qint64 wholeCalendarDays(const QDateTime& from, const QDateTime& to);

} // namespace velmora::UpdatePolicy
