#include "ui/PreferencesGeometry.h"

#include <algorithm>

namespace velmora {

qreal PreferencesGeometry::heightForTab(int tab) {
    switch (tab) {
    case generalTab:
        return 420;
    case advancedTab:
        return 380;
    case applicationsTab:
        return 300;
    default:
        return 350;
    }
}

qreal PreferencesGeometry::targetHeightForContent(qreal contentHeight) {
    return std::clamp(contentHeight + measuredHeightMargin, minimumTargetHeight, maximumTargetHeight);
}

std::optional<qreal> PreferencesGeometry::adjustedTargetHeight(qreal currentTarget, qreal contentHeight) {
    const qreal target = targetHeightForContent(contentHeight);
    if (qAbs(currentTarget - target) <= changeThreshold)
        return std::nullopt;
    return target;
}

qreal PreferencesGeometry::windowHeight(qreal targetHeight) { return targetHeight + windowHeightOverTarget; }

QRect PreferencesGeometry::resizedGeometry(const QRect& geometry, int height) {
    return {geometry.x(), geometry.y(), geometry.width(), height};
}

} // namespace velmora
