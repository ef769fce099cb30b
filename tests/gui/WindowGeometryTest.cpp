#include "ui/HostWindow.h"
#include "ui/PreferencesGeometry.h"
#include "ui/WindowDelegate.h"
#include "ui/WindowHelper.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

#include <gtest/gtest.h>

#include <optional>

using namespace velmora;
using G = PreferencesGeometry;

namespace {

struct HeightCase {
    qreal current, content;
    std::optional<qreal> target; // none: within the threshold, left alone
};

TEST(PreferencesGeometry, TargetFollowsContentWithinLimitsAndThreshold) {
    const HeightCase cases[] = {{400, 308, {}},   {400, 292, {}},  {400, 308.5, 408.5}, {400, 291, 391},
                                {280, 320, 420},  {480, 2000, {}}, {220, 0, {}},        {475, 2000, {}},
                                {471, 2000, 480}, {229, 0, 220},   {300, 121, 221}};
    for (const HeightCase& row : cases)
        EXPECT_EQ(G::adjustedTargetHeight(row.current, row.content), row.target)
            << row.current << " " << row.content;
    EXPECT_EQ(G::resizedGeometry(QRect(120, 80, 600, 430), 550), QRect(120, 80, 600, 550));
}

struct TitleCase {
    const char* title;
    bool limited;
};

TEST(WindowHelper, TitlesNamingTheProductGetSizeLimitsAndWindowsOnlyHideOnClose) {
    const TitleCase cases[] = {{"Velmora", true},  {"Welcome to Velmora", true}, {"настройки", true},
                               {"velmora", false}, {"Настройки", false},         {"Velmor a", false},
                               {"", false}};
    for (const TitleCase& row : cases) {
        const QString title = QString::fromUtf8(row.title);
        const std::unique_ptr<HostWindow> window(
            WindowHelper::createWindow(title, new QWidget, nullptr, 500, 600));
        EXPECT_EQ(window->hasSizeLimits(), row.limited) << row.title;
        EXPECT_EQ(window->size(), QSize(500, 600)) << "limits do not resize a window opening outside them";
        EXPECT_EQ(window->minimumContentSize() != QSize(0, 0), row.limited) << row.title;
    }
    struct : WindowDelegate {
        int closing = 0;
        void windowWillClose(QWidget*) override { ++closing; }
    } delegate;
    QPointer<QWidget> root = new QWidget;
    QPointer<HostWindow> window = WindowHelper::createWindow("Velmora", root, &delegate, 600, 360);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((window->geometry().center() - screen.center()).manhattanLength(), 1);
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    window->show();
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(window.isNull());
    EXPECT_EQ(delegate.closing, 1);
    window->clearContentView();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(root.isNull());
    delete window;
}

} // namespace
