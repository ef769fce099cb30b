#include "ui/StatusMenu.h"

#include "localization/LocalizationKeys.h"
#include "localization/LocalizationManager.h"
#include "settings/Constants.h"
#include "settings/SettingsStore.h"
#include "ui/SymbolIcons.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPalette>

namespace velmora {

namespace {

// A menu reads "&" as the mark of a mnemonic: "Help & Support" would show an
// underlined space. Titles are text, so every "&" is doubled.
QString title(QString text) { return text.replace(QLatin1Char('&'), QStringLiteral("&&")); }

QString localizedTitle(const QString& key) {
    return title(LocalizationManager::shared().localizedString(key));
}

// How much of the icon shows while switching is off: dimmed, yet still found.
constexpr qreal switchedOffOpacity = 0.4;

// A keyboard outline with two rows of keys and a space bar, 22 × 16. Every
// edge lies on the pixel grid at both densities, so the glyph stays sharp at
// its small size instead of blurring into grey. Only its shape counts.
QPixmap keyboardGlyph(qreal ratio) {
    QPixmap pixmap(qRound(22 * ratio), qRound(16 * ratio));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1.0));
    painter.setBrush(Qt::NoBrush);
    // A one-pixel line centred on half pixels covers whole pixels.
    painter.drawRoundedRect(QRectF(1.5, 2.5, 19.0, 11.0), 2.0, 2.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 5; ++column)
            painter.drawRect(QRect(4 + column * 3, 4 + row * 3, 2, 2));
    painter.drawRect(QRect(7, 10, 8, 2));
    return pixmap;
}

} // namespace

StatusMenu::StatusMenu(Actions actions, QObject* parent) : QObject(parent), actions_(std::move(actions)) {
    // The palette follows the desktop's theme; the icon is redrawn with it.
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

StatusMenu::~StatusMenu() { delete menu_.data(); }

void StatusMenu::refresh(const Rows& rows) {
    pendingRelease_ = false;
    // The icon tells at once what an open menu shows only once reopened.
    if (rows.switchingOff != iconSwitchingOff_) {
        iconSwitchingOff_ = rows.switchingOff;
        Q_EMIT iconChanged();
    }
    const bool sameRows = menu_ && rows.updateTitle.has_value() == rows_.updateTitle.has_value() &&
                          rows.debugInfo == rows_.debugInfo && rows.switchingOff == rows_.switchingOff;
    // A menu the user has open, or whose row handler runs, is rebuilt once
    // it is closed and idle: rows must not move under the pointer.
    if (!sameRows && (running_ > 0 || (menu_ && menu_->isVisible()))) {
        pendingRows_ = rows;
        return;
    }
    rows_ = rows;
    pendingRows_.reset();
    if (sameRows)
        retitle();
    else
        build();
}

void StatusMenu::release() {
    pendingRows_.reset();
    if (running_ > 0)
        pendingRelease_ = true;
    else
        dropMenu();
}

void StatusMenu::dropMenu() {
    if (menu_)
        menu_->deleteLater();
    menu_.clear();
    switchingOff_ = switching_ = preferences_ = update_ = support_ = checkUpdates_ = debugInfo_ = quit_ =
        nullptr;
}

void StatusMenu::build() {
    dropMenu();
    menu_ = new QMenu();
    menu_->installEventFilter(this);
    // Queued: a chosen row's handler runs after the menu hides.
    connect(menu_, &QMenu::aboutToHide, this, [this] {
        QMetaObject::invokeMethod(
            this, [this] { if (running_ == 0) applyPending(); }, Qt::QueuedConnection);
    });
    if (rows_.switchingOff) {
        switchingOff_ = addRow(&Actions::turnOnSwitching);
        menu_->addSeparator();
    }
    preferences_ = addRow(&Actions::showPreferences);
    preferences_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    menu_->addSeparator();
    if (rows_.updateTitle) {
        update_ = addRow(&Actions::showUpdateDialog);
        menu_->addSeparator();
    }
    support_ = addRow(&Actions::showSupport);
    checkUpdates_ = addRow(&Actions::checkForUpdates);
    if (rows_.debugInfo) {
        menu_->addSeparator();
        debugInfo_ = addRow(&Actions::showDebugInfo);
    }
    menu_->addSeparator();
    // The preferences' "switch to English" setting, one click away.
    switching_ = menu_->addAction(QString());
    switching_->setCheckable(true);
    connect(switching_, &QAction::triggered, this,
            [](bool on) { SettingsStore::standard().setBool(Constants::switchToEnglish, on); });
    connect(menu_, &QMenu::aboutToShow, this, [this] {
        if (switching_)
            switching_->setChecked(SettingsStore::standard().boolForKey(Constants::switchToEnglish));
    });
    menu_->addSeparator();
    quit_ = addRow(&Actions::quitApp);
    quit_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    retitle();
    Q_EMIT menuReplaced(menu_);
}

QAction* StatusMenu::addRow(std::function<void()> Actions::*action) {
    QAction* row = menu_->addAction(QString());
    connect(row, &QAction::triggered, this, [this, action] { run(actions_.*action); });
    return row;
}

void StatusMenu::retitle() {
    if (switchingOff_)
        switchingOff_->setText(localizedTitle(LocalizationKeys::menuSwitchingOff));
    switching_->setText(localizedTitle(LocalizationKeys::menuSwitchForShortcuts));
    switching_->setChecked(SettingsStore::standard().boolForKey(Constants::switchToEnglish));
    preferences_->setText(localizedTitle(LocalizationKeys::menuPreferences));
    if (update_)
        update_->setText(title(rows_.updateTitle.value_or(QString())));
    support_->setText(localizedTitle(LocalizationKeys::menuHelpSupport));
    checkUpdates_->setText(localizedTitle(LocalizationKeys::menuCheckUpdates));
    if (debugInfo_)
        debugInfo_->setText(localizedTitle(LocalizationKeys::menuDebugInfo));
    quit_->setText(localizedTitle(LocalizationKeys::menuQuit));
}

void StatusMenu::run(const std::function<void()>& action) {
    // The handler is copied: a change of rows made inside it must not free
    // the function that is running.
    const std::function<void()> handler = action;
    ++running_;
    if (handler)
        handler();
    --running_;
    if (running_ == 0)
        applyPending();
}

void StatusMenu::applyPending() {
    if (pendingRelease_) {
        pendingRelease_ = false;
        dropMenu();
    } else if (pendingRows_) {
        refresh(*pendingRows_);
    }
}

bool StatusMenu::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ApplicationPaletteChange && watched == QCoreApplication::instance())
        Q_EMIT iconChanged();
    else if (event->type() == QEvent::KeyPress && watched == menu_.data())
        return triggerShortcut(QKeySequence(static_cast<QKeyEvent*>(event)->keyCombination()));
    return QObject::eventFilter(watched, event);
}

bool StatusMenu::triggerShortcut(const QKeySequence& keys) {
    // An open popup has the keyboard, and a tray menu belongs to no window
    // whose shortcuts would apply: the row is chosen as a click chooses it.
    for (QAction* row : menu_->actions()) {
        if (row->shortcut().isEmpty() || row->shortcut() != keys || !row->isEnabled())
            continue;
        menu_->hide();
        row->trigger();
        return true;
    }
    return false;
}

QIcon StatusMenu::icon() const {
    return makeIcon(QGuiApplication::palette().color(QPalette::WindowText), iconSwitchingOff_);
}

QIcon StatusMenu::makeIcon(const QColor& color, bool switchingOff) {
    // The tray shows no palette of its own to Qt; the application's text
    // colour is the desktop theme's, which its panel follows.
    const QString themed = QStringLiteral("input-keyboard-symbolic");
    const QIcon symbol = QIcon::hasThemeIcon(themed) ? QIcon::fromTheme(themed) : QIcon();
    QColor ink = color;
    if (switchingOff)
        ink.setAlphaF(ink.alphaF() * switchedOffOpacity);
    QIcon icon;
    for (const qreal ratio : {1.0, 2.0})
        icon.addPixmap(QPixmap::fromImage(SymbolIcons::tinted(
            (symbol.isNull() ? keyboardGlyph(ratio) : symbol.pixmap(QSize(22, 22), ratio)).toImage(), ink)));
    return icon;
}

} // namespace velmora
