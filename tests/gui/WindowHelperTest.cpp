#include "ui/WindowHelper.h"
#include "ui/HostWindow.h"
#include "ui/WindowDelegate.h"
#include "support/WaitUntil.h"

#include <QGuiApplication>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>

using namespace velmora;

namespace {

class RecordingDelegate final : public WindowDelegate {
public:
    QList<QWidget*> closing;
    void windowWillClose(QWidget* window) override { closing.append(window); }
};

std::unique_ptr<HostWindow> makeWindow(const QString& title, QWidget* root = nullptr,
                                       WindowDelegate* delegate = nullptr, int width = 600,
                                       int height = 360) {
    return std::unique_ptr<HostWindow>(
        WindowHelper::createWindow(title, root ? root : new QWidget, delegate, width, height));
}

void processDeferredDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// Shape and place.

TEST(WindowHelper, ContentAreaHasTheRequestedSizeAndIsCentredOnTheScreen) {
    const auto window = makeWindow(QStringLiteral("Velmora"));
    EXPECT_EQ(window->size(), QSize(600, 360));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Velmora"));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((window->geometry().center() - screen.center()).manhattanLength(), 1);
    EXPECT_FALSE(window->isVisible()) << "creating a window does not show it";
}

TEST(WindowHelper, WindowIsTitledClosableAndResizableWithoutMinimizeButton) {
    const auto window = makeWindow(QStringLiteral("Velmora"));
    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_EQ(window->windowType(), Qt::Window);
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint))
        << "without it the window manager adds its default buttons";
    EXPECT_NE(window->minimumContentSize(), window->maximumContentSize())
        << "a fixed size could not be resized";
}

TEST(WindowHelper, ClosingHidesTheWindowWithoutDeletingItOrEndingTheApplication) {
    const auto window = makeWindow(QStringLiteral("Velmora"));
    EXPECT_FALSE(window->testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_FALSE(window->testAttribute(Qt::WA_QuitOnClose));
    QPointer<HostWindow> watched(window.get());
    window->show();
    EXPECT_TRUE(window->close());
    processDeferredDeletes();
    EXPECT_FALSE(watched.isNull());
    EXPECT_FALSE(window->isVisible());
}

// Size limits follow the title.

TEST(WindowHelper, TitlesNamingTheProductGetTheSizeLimits) {
    for (const QString& title : {QStringLiteral("Velmora"), QStringLiteral("Welcome to Velmora"),
                                 QStringLiteral("настройки"), QStringLiteral("Velmora — настройки")}) {
        SCOPED_TRACE(title.toStdString());
        EXPECT_TRUE(WindowHelper::hasSizeLimits(title));
        const auto window = makeWindow(title);
        EXPECT_TRUE(window->hasSizeLimits());
        EXPECT_EQ(window->minimumContentSize(), QSize(550, 290));
        EXPECT_EQ(window->maximumContentSize(), QSize(750, 550));
    }
}

TEST(WindowHelper, OtherTitlesLeaveTheWindowFreelyResizable) {
    // Both tests are case-sensitive substring tests on the whole title.
    for (const QString& title :
         {QStringLiteral("app_name"), QStringLiteral("velmora"), QStringLiteral("VELMORA"),
          QStringLiteral("Настройки"), QStringLiteral("Velmor a"), QString()}) {
        SCOPED_TRACE(title.toStdString());
        EXPECT_FALSE(WindowHelper::hasSizeLimits(title));
        const auto window = makeWindow(title);
        EXPECT_FALSE(window->hasSizeLimits());
        EXPECT_EQ(window->minimumContentSize(), QSize(0, 0));
        EXPECT_EQ(window->maximumContentSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
        window->resize(1000, 200);
        EXPECT_EQ(window->size(), QSize(1000, 200));
    }
}

TEST(WindowHelper, LimitsDoNotResizeAWindowThatOpensOutsideThem) {
    // The onboarding's 500 × 600 lies outside 550 × 290 … 750 × 550.
    const auto window = makeWindow(QStringLiteral("Welcome to Velmora"), new QWidget, nullptr, 500, 600);
    window->show();
    test::settle(50);
    EXPECT_TRUE(window->hasSizeLimits());
    EXPECT_EQ(window->size(), QSize(500, 600));
}

// The hosted root view.

TEST(WindowHelper, RootViewFillsTheWindowAndIsDestroyedWithIt) {
    QPointer<QWidget> root = new QWidget;
    auto window = makeWindow(QStringLiteral("Velmora"), root);
    EXPECT_EQ(window->contentView(), root);
    EXPECT_EQ(root->window(), window.get());
    window->show();
    test::settle(20);
    EXPECT_EQ(root->geometry(), window->rect());
    window.reset();
    EXPECT_TRUE(root.isNull());
}

TEST(WindowHelper, ClearingTheContentViewReleasesTheRootViewButKeepsTheWindow) {
    QPointer<QWidget> root = new QWidget;
    const auto window = makeWindow(QStringLiteral("Velmora"), root);
    window->clearContentView();
    EXPECT_EQ(window->contentView(), nullptr);
    processDeferredDeletes();
    EXPECT_TRUE(root.isNull());
    window->clearContentView(); // nothing left to clear
    EXPECT_EQ(window->contentView(), nullptr);
}

TEST(WindowHelper, RootViewMayClearItselfFromItsOwnHandler) {
    auto* button = new QPushButton(QStringLiteral("Close"));
    QPointer<QPushButton> root(button);
    const auto window = makeWindow(QStringLiteral("Velmora"), button);
    QObject::connect(button, &QPushButton::clicked, window.get(), [&] { window->clearContentView(); });
    button->click();
    EXPECT_FALSE(root.isNull()) << "still running its own handler";
    processDeferredDeletes();
    EXPECT_TRUE(root.isNull());
}

// The delegate.

TEST(WindowHelper, DelegateHearsOfEveryCloseWhileItIsSet) {
    RecordingDelegate delegate;
    const auto window = makeWindow(QStringLiteral("Velmora"), nullptr, &delegate);
    EXPECT_EQ(window->delegate(), &delegate);
    window->show();
    window->close();
    ASSERT_EQ(delegate.closing.size(), 1);
    EXPECT_EQ(delegate.closing.first(), window.get());

    window->show();
    window->close();
    EXPECT_EQ(delegate.closing.size(), 2);

    window->setDelegate(nullptr);
    window->show();
    window->close();
    EXPECT_EQ(delegate.closing.size(), 2);
}

TEST(WindowHelper, DelegateMayReleaseTheContentWhileTheWindowCloses) {
    // What the application does when a window closes: drop the delegate and
    // the content, then let go of the window.
    struct Releasing final : WindowDelegate {
        void windowWillClose(QWidget* window) override {
            auto* host = static_cast<HostWindow*>(window);
            host->setDelegate(nullptr);
            host->clearContentView();
            host->deleteLater();
        }
    } delegate;
    QPointer<QWidget> root = new QWidget;
    QPointer<HostWindow> window =
        WindowHelper::createWindow(QStringLiteral("Velmora"), root, &delegate, 600, 360);
    window->show();
    window->close();
    processDeferredDeletes();
    EXPECT_TRUE(root.isNull());
    EXPECT_TRUE(window.isNull());
}

} // namespace
