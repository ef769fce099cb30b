#pragma once

#include <QColor>
#include <QEasingCurve>
#include <QFont>

class QFrame;
class QKeyEvent;
class QPalette;
class QPushButton;
class QWidget;

namespace velmora {

// The type scale, colours and button kinds shared by the preferences and the
// onboarding, derived from the desktop's own font and palette.
class ViewStyle {
public:
    ViewStyle() = delete;

    static QFont titleFont(const QFont& base);
    static QFont headlineFont(const QFont& base);
    static QFont subheadlineFont(const QFont& base);
    static QFont captionFont(const QFont& base);
    // Medium weight, or the next heavier one the family has: many Linux
    // fonts have no medium face, and a regular one would not stand out.
    static QFont mediumWeight(const QFont& base);

    static QColor accentColor(const QPalette& palette);
    // Text that matters less: between the text and the background colour.
    static QColor secondaryTextColor(const QPalette& palette);
    static void useSecondaryTextColor(QWidget* widget);

    // The one filled button of a screen, in the accent colour, as tall as
    // the bordered buttons beside it; focused, it wears a ring in the text
    // colour.
    static void makeProminent(QPushButton* button);
    // A borderless text button in the secondary colour, only as wide as its
    // title so that the title lines up with the margin.
    static void makePlain(QPushButton* button);

    static QFrame* makeDivider(QWidget* parent = nullptr);

    // Return or Enter on a view: clicks the button inside it that has the
    // focus, as Space does. False, with nothing done, for other keys and
    // other widgets.
    static bool clickFocusedButton(const QWidget* view, const QKeyEvent* event);

    // Slow at both ends, as every motion in Velmora's windows is.
    static QEasingCurve easeInOut();
};

} // namespace velmora
