#pragma once

#include <QRect>
#include <QSize>

#include <optional>

namespace velmora {

// The sizes and motion of the preferences: the scroll area's height follows
// the selected tab's content, and the window follows the scroll area.
class PreferencesGeometry {
public:
    PreferencesGeometry() = delete;

    static constexpr int generalTab = 0;
    static constexpr int advancedTab = 1;
    static constexpr int applicationsTab = 2;

    static constexpr qreal initialTargetHeight = 280;
    static constexpr qreal measuredHeightMargin = 100;
    static constexpr qreal minimumTargetHeight = 220;
    static constexpr qreal maximumTargetHeight = 480;
    // Smaller changes are not worth moving the window for.
    static constexpr qreal changeThreshold = 8;
    static constexpr qreal windowHeightOverTarget = 70;

    static constexpr int heightAnimationMs = 300;
    static constexpr int windowResizeDelayMs = 100;
    static constexpr int windowResizeAnimationMs = 400;

    static constexpr QSize minimumViewSize{550, 290};
    static constexpr QSize maximumViewSize{700, 550};
    static constexpr int idealViewWidth = 600;
    static constexpr int contentHorizontalPadding = 20;
    static constexpr int contentVerticalPadding = 12;

    // The height a tab starts with before its content has been measured.
    static qreal heightForTab(int tab);
    // Measured content plus the margin, within the limits.
    static qreal targetHeightForContent(qreal contentHeight);
    // The new target height for measured content, or nothing when it is
    // within the threshold of the current one.
    static std::optional<qreal> adjustedTargetHeight(qreal currentTarget, qreal contentHeight);
    static qreal windowHeight(qreal targetHeight);
    // The window's new geometry for a height: same left edge, width and top edge.
    static QRect resizedGeometry(const QRect& geometry, int height);
};

} // namespace velmora
