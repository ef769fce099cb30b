#include "updates/UpdatePolicy.h"

#include "updates/VersionOrder.h"

namespace velmora::UpdatePolicy {

QString runningVersion(const QString& bundleVersion) {
    return bundleVersion.isEmpty() ? QStringLiteral("1.0") : bundleVersion;
}

bool isNewer(const QString& current, const QString& offered, const std::optional<QString>& skipped,
             bool ignoreSkipped) {
    if (skipped && !ignoreSkipped && *skipped == offered)
        return false;
    return VersionOrder::isBefore(current, offered);
}

bool isDue(bool automaticUpdates, const std::optional<QDateTime>& lastCheck, const QDateTime& now) {
    if (!automaticUpdates)
        return false;
    if (!lastCheck || !lastCheck->isValid())
        return true;
    if (!now.isValid())
        return false;
    return wholeCalendarDays(*lastCheck, now) >= 1;
}

qint64 wholeCalendarDays(const QDateTime& fromAnyZone, const QDateTime& toAnyZone) {
    const QDateTime from = fromAnyZone.toLocalTime();
    const QDateTime to = toAnyZone.toLocalTime();
    qint64 days = from.date().daysTo(to.date());
    if (days > 0 && from.addDays(days) > to)
        --days;
    else if (days < 0 && from.addDays(days) < to)
        ++days;
    return days;
}

} // namespace velmora::UpdatePolicy
