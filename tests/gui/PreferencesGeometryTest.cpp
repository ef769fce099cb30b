#include "ui/PreferencesGeometry.h"
#include "ui/ViewStyle.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

TEST(PreferencesGeometry, EachTabHasItsPresetHeight) {
    EXPECT_EQ(PreferencesGeometry::heightForTab(PreferencesGeometry::generalTab), 420);
    EXPECT_EQ(PreferencesGeometry::heightForTab(PreferencesGeometry::advancedTab), 380);
    EXPECT_EQ(PreferencesGeometry::heightForTab(2), 350);
    EXPECT_EQ(PreferencesGeometry::heightForTab(-1), 350);
    EXPECT_EQ(PreferencesGeometry::initialTargetHeight, 280);
}

TEST(PreferencesGeometry, MeasuredContentGetsTheMarginWithinTheLimits) {
    EXPECT_EQ(PreferencesGeometry::targetHeightForContent(0), 220);
    EXPECT_EQ(PreferencesGeometry::targetHeightForContent(119), 220);
    EXPECT_EQ(PreferencesGeometry::targetHeightForContent(120), 220);
    EXPECT_EQ(PreferencesGeometry::targetHeightForContent(121), 221);
    EXPECT_EQ(PreferencesGeometry::targetHeightForContent(300.5), 400.5);
    EXPECT_EQ(PreferencesGeometry::targetHeightForContent(380), 480);
    EXPECT_EQ(PreferencesGeometry::targetHeightForContent(381), 480);
    EXPECT_EQ(PreferencesGeometry::targetHeightForContent(5000), 480);
}

TEST(PreferencesGeometry, OnlyChangesOfMoreThanEightPointsMoveTheTarget) {
    // Current target 400: content 308 → 408 and 292 → 392 are within reach.
    EXPECT_EQ(PreferencesGeometry::adjustedTargetHeight(400, 308), std::nullopt);
    EXPECT_EQ(PreferencesGeometry::adjustedTargetHeight(400, 292), std::nullopt);
    EXPECT_EQ(PreferencesGeometry::adjustedTargetHeight(400, 300), std::nullopt);
    EXPECT_EQ(PreferencesGeometry::adjustedTargetHeight(400, 308.5), 408.5);
    EXPECT_EQ(PreferencesGeometry::adjustedTargetHeight(400, 291), 391);
    EXPECT_EQ(PreferencesGeometry::adjustedTargetHeight(280, 320), 420);
}

TEST(PreferencesGeometry, TheThresholdAppliesAfterTheLimits) {
    // Far apart before clamping, the same afterwards.
    EXPECT_EQ(PreferencesGeometry::adjustedTargetHeight(480, 2000), std::nullopt);
    EXPECT_EQ(PreferencesGeometry::adjustedTargetHeight(220, 0), std::nullopt);
    EXPECT_EQ(PreferencesGeometry::adjustedTargetHeight(475, 2000), std::nullopt);
    EXPECT_EQ(PreferencesGeometry::adjustedTargetHeight(471, 2000), 480);
    EXPECT_EQ(PreferencesGeometry::adjustedTargetHeight(229, 0), 220);
}

TEST(PreferencesGeometry, WindowIsSeventyPointsTallerThanTheScrollArea) {
    EXPECT_EQ(PreferencesGeometry::windowHeight(220), 290);
    EXPECT_EQ(PreferencesGeometry::windowHeight(480), 550);
    EXPECT_EQ(PreferencesGeometry::windowHeight(PreferencesGeometry::targetHeightForContent(10000)), 550);
}

TEST(PreferencesGeometry, ResizingKeepsTheTopEdgeTheLeftEdgeAndTheWidth) {
    const QRect before(120, 80, 600, 430);
    EXPECT_EQ(PreferencesGeometry::resizedGeometry(before, 550), QRect(120, 80, 600, 550));
    EXPECT_EQ(PreferencesGeometry::resizedGeometry(before, 290), QRect(120, 80, 600, 290));
}

TEST(PreferencesGeometry, MotionEasesInAndOutSymmetrically) {
    const QEasingCurve curve = ViewStyle::easeInOut();
    EXPECT_DOUBLE_EQ(curve.valueForProgress(0.0), 0.0);
    EXPECT_NEAR(curve.valueForProgress(1.0), 1.0, 1e-6);
    EXPECT_NEAR(curve.valueForProgress(0.5), 0.5, 1e-3);
    EXPECT_LT(curve.valueForProgress(0.2), 0.2 * 0.75) << "slow start";
    EXPECT_GT(curve.valueForProgress(0.8), 1.0 - 0.2 * 0.75) << "slow end";
    EXPECT_NEAR(curve.valueForProgress(0.3) + curve.valueForProgress(0.7), 1.0, 1e-3);
}

} // namespace
