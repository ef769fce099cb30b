#include "gui/AppDelegateFixture.h"

#include "platform/qt/QtAlertPresenter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

using namespace velmora;

namespace {

TEST_F(AppDelegateTest, DefaultMenuHoldsPreferencesSupportCheckAndQuit) {
    store->setBool(Constants::enableDebugMode, false);
    configureDefaultSettings();
    AppDelegate& app = make();
    app.setupStatusBar();
    EXPECT_EQ(menuRows(),
              (QStringList{tr(LocalizationKeys::menuPreferences), "—", tr(LocalizationKeys::menuHelpSupport),
                           tr(LocalizationKeys::menuCheckUpdates), "—", tr(LocalizationKeys::menuQuit)}));
    const QList<QAction*> actions = app.statusItem->contextMenu()->actions();
    EXPECT_EQ(actions.first()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Comma));
    EXPECT_EQ(actions.last()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    // Doubled, a menu shows one "&" and makes no mnemonic of the next letter.
    ASSERT_TRUE(tr(LocalizationKeys::menuHelpSupport).contains('&'));
    EXPECT_EQ(actions.at(2)->text(), tr(LocalizationKeys::menuHelpSupport).replace("&", "&&"));

    // An open menu keeps its rows until it closes. Shown without an effect,
    // it is open from popup() on; nothing runs the event loop before the check.
    QApplication::setEffectEnabled(Qt::UI_AnimateMenu, false);
    QMenu* open = app.statusItem->contextMenu();
    open->popup(QPoint(0, 0));
    ASSERT_TRUE(open->isVisible());
    store->setBool(Constants::enableDebugMode, true);
    app.updateStatusItemIcon();
    EXPECT_EQ(app.statusItem->contextMenu(), open);
    EXPECT_EQ(menuRows().size(), 6);
    open->hide();
    EXPECT_TRUE(test::waitUntil([&] { return menuRows().size() == 8; }));
    EXPECT_EQ(menuRows().mid(4, 2), (QStringList{"—", tr(LocalizationKeys::menuDebugInfo)}));
    app.applicationDidFinishLaunching();
    LocalizationManager::shared().setCurrentLanguage(QStringLiteral("de"));
    EXPECT_TRUE(test::waitUntil([&] { return menuRows().last() == tr(LocalizationKeys::menuQuit); }));
    LocalizationManager::shared().setCurrentLanguage(QStringLiteral("en"));
}

// While a row's handler runs (here: the update offer is on screen), its menu
// is neither rebuilt nor released; both happen once the handler returns.
TEST_F(AppDelegateTest, MenuStaysWhileItsRowsHandlerRuns) {
    serveUpdate();
    configureDefaultSettings();
    AppDelegate& app = make();
    app.setupStatusBar();
    offerUpdate(app);
    const QPointer<QMenu> menu = app.statusItem->contextMenu();
    bool keptWhileRunning = false;
    fakes.alerts->answerWith(AlertResponse::thirdButton); // remind me later
    fakes.alerts->whileShowing([&](const Alert&) {
        store->setBool(Constants::enableDebugMode, false);
        app.updateStatusItemIcon();
        keptWhileRunning = app.statusItem->contextMenu() == menu;
    });
    menu->actions().at(2)->trigger();
    EXPECT_TRUE(keptWhileRunning);
    EXPECT_NE(app.statusItem->contextMenu(), menu);
    EXPECT_FALSE(menuRows().contains(tr(LocalizationKeys::menuDebugInfo)));

    const QPointer<QMenu> rebuilt = app.statusItem->contextMenu();
    bool aliveWhileRunning = false;
    fakes.alerts->answerWith(AlertResponse::thirdButton);
    fakes.alerts->whileShowing([&](const Alert&) {
        store->setBool(Constants::showMenuBarIcon, false);
        app.updateMenuBarIconVisibility();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        aliveWhileRunning = !rebuilt.isNull();
    });
    rebuilt->actions().at(2)->trigger();
    EXPECT_TRUE(aliveWhileRunning);
    EXPECT_EQ(app.statusItem, nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(rebuilt.isNull()) << "hiding the icon releases its menu";
}

// The real menu and real alerts, answered by a click: the update row starts
// the download, follows its progress in the same menu, and chosen again
// during the download only says so.
TEST_F(AppDelegateTest, UpdateRowFollowsTheDownloadItStarts) {
    serveUpdate();
    configureDefaultSettings();
    AppDelegate& app = make();
    app.setupStatusBar();
    offerUpdate(app);
    EXPECT_EQ(menuRows().mid(2, 2),
              (QStringList{tr(LocalizationKeys::updateAvailableTitle) + " (9.9.9)", "—"}));
    fakes.install(std::make_shared<QtAlertPresenter>());
    QStringList answered;
    QTimer person;
    QObject::connect(&person, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            answered.append(box->informativeText());
            box->buttons().constFirst()->click(); // "Download", then "OK"
        }
    });
    person.start(20);
    const QPointer<QMenu> menu = app.statusItem->contextMenu();
    QStringList progressRows;
    QObject::connect(updates.get(), &UpdateManager::downloadProgressChanged, [&] {
        progressRows.append(app.statusItem->contextMenu() == menu ? menuRows().at(2)
                                                                  : QStringLiteral("other menu"));
    });
    menu->actions().at(2)->trigger();
    ASSERT_FALSE(menu.isNull()) << "the menu was deleted under its own row's handler";
    ASSERT_TRUE(updates->isDownloading());
    menu->actions().at(2)->trigger();
    ASSERT_EQ(answered.size(), 2);
    EXPECT_TRUE(answered.last().contains(QStringLiteral("9.9.9")));
    EXPECT_TRUE(test::waitUntil([&] { return !updates->isDownloading() && answered.size() == 3; }, 15000));
    ASSERT_GT(progressRows.size(), 1);
    EXPECT_FALSE(progressRows.contains(QStringLiteral("other menu")));
    EXPECT_TRUE(progressRows.first().contains(QStringLiteral("9.9.9")));
    EXPECT_EQ(server.requestCount("/Velmora.deb"), 1);
}

TEST_F(AppDelegateTest, MissingTrayIsReportedOnceAndTheIconIsAWhiteSharpMask) {
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    configureDefaultSettings();
    AppDelegate& app = make();
    app.setupStatusBar();
    app.setupStatusBar();
    const QStringList missingTray = output.linesStartingWith(QStringLiteral("⚠️ No system tray"));
    ASSERT_EQ(missingTray.size(), 1);
    EXPECT_TRUE(missingTray.first().contains(QStringLiteral("launch Velmora again")));
    EXPECT_EQ(app.statusItem->toolTip(), QStringLiteral("Velmora - Keyboard Layout Switcher"));

    const QIcon icon = app.makeMenuBarIcon();
    EXPECT_TRUE(icon.isMask());
    // Drawn off the pixel grid, the keys would blur into half-covered grey:
    // only the four rounded corners are partly covered.
    const QImage image = icon.pixmap(QSize(22, 16), 1.0).toImage();
    int opaque = 0, partial = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            opaque += pixel.alpha() == 255;
            partial += pixel.alpha() > 0 && pixel.alpha() < 255;
            EXPECT_TRUE(pixel.alpha() == 0 || pixel.red() == 255 && pixel.blue() == 255);
        }
    EXPECT_GT(opaque, 60);
    EXPECT_LE(partial, 24);
}

} // namespace
