#pragma once

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

class QAction;

namespace velmora {

// The tray menu: its rows, their titles and the tray icon's picture. Titles
// change in place; a new menu is made only when a row comes or goes. A menu
// whose row handler is running (a modal alert, a download it started) is
// never deleted under it: a change of rows waits until the handler returns,
// and the old menu goes with deleteLater. The rows' shortcuts work while the
// menu is open, and the icon follows the palette.
class StatusMenu final : public QObject {
    Q_OBJECT

public:
    struct Actions {
        std::function<void()> turnOnSwitching;
        std::function<void()> showPreferences;
        std::function<void()> showUpdateDialog;
        std::function<void()> showSupport;
        std::function<void()> checkForUpdates;
        std::function<void()> showDebugInfo;
        std::function<void()> quitApp;
    };
    // What the rows that come and go show.
    struct Rows {
        std::optional<QString> updateTitle; // while an update is pending
        bool debugInfo = false;
        bool switchingOff = false; // keyboard access is missing: no tap runs
    };

    explicit StatusMenu(Actions actions, QObject* parent = nullptr);
    ~StatusMenu() override;

    // Null before the first refresh and after release().
    QMenu* menu() const { return menu_; }
    QAction* updateRow() const { return update_; }
    // Checked while switching for shortcuts is on; choosing it pauses or resumes.
    QAction* switchingRow() const { return switching_; }

    // Brings the titles up to date, in the interface language of this moment.
    void refresh(const Rows& rows);
    // Drops the menu (the tray icon is gone).
    void release();

    // The tray icon for the state of the last refresh and the palette of now.
    QIcon icon() const;
    // The icon theme's keyboard symbol, else Velmora's own keyboard glyph,
    // in `color`; faded while switching is off.
    static QIcon makeIcon(const QColor& color, bool switchingOff = false);

Q_SIGNALS:
    // A new menu replaced the old one, which is about to go.
    void menuReplaced(QMenu* menu);
    // The icon changed: switching went on or off, or the palette changed.
    void iconChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void retitle();
    void dropMenu();
    QAction* addRow(std::function<void()> Actions::*action);
    void run(const std::function<void()>& action);
    void applyPending();
    bool triggerShortcut(const QKeySequence& keys);

    Actions actions_;
    Rows rows_;
    QPointer<QMenu> menu_;
    QAction* switchingOff_ = nullptr;
    QAction* switching_ = nullptr;
    QAction* preferences_ = nullptr;
    QAction* update_ = nullptr;
    QAction* support_ = nullptr;
    QAction* checkUpdates_ = nullptr;
    QAction* debugInfo_ = nullptr;
    QAction* quit_ = nullptr;
    // Row handlers now on the stack; changes of rows wait for zero.
    int running_ = 0;
    std::optional<Rows> pendingRows_;
    bool pendingRelease_ = false;
    // Follows refresh() at once, also while a change of rows waits.
    bool iconSwitchingOff_ = false;
};

} // namespace velmora
