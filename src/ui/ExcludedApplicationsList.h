#pragma once

#include <QList>
#include <QPair>
#include <QWidget>

#include <functional>

class QLabel;
class QListWidget;
class QPushButton;

namespace velmora {
class SymbolLabel;
}

namespace velmora {

// The Applications tab: the applications in front of which Velmora does not
// switch, with the names and icons of their desktop entries, bound to the excludedApplications
// setting. "Add…" offers the running applications, then the installed ones,
// and takes a typed identifier as well.
class ExcludedApplicationsList final : public QWidget {
    Q_OBJECT

public:
    // Identifiers of running applications with a title each.
    using RunningApplications = std::function<QList<QPair<QString, QString>>()>;

    explicit ExcludedApplicationsList(QWidget* parent = nullptr);

    void setRunningApplications(RunningApplications running) { running_ = std::move(running); }
    // Rows from the store, and the note where the desktop tells no focus.
    void refresh();
    void retranslate();
    // Stores the list with one more identifier; a repeat (in any case) is dropped.
    void add(const QString& identifier);
    void removeSelected();
    // What "Add…" offers: shown text and identifier, running ones first.
    QList<QPair<QString, QString>> offeredApplications() const;

    QListWidget* list() const { return list_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* removeButton() const { return remove_; }
    QLabel* note() const { return note_; }
    QList<QWidget*> focusOrder() const;

private:
    void chooseApplication();

    SymbolLabel* heading_;
    QLabel* caption_;
    QListWidget* list_;
    QPushButton* add_;
    QPushButton* remove_;
    QLabel* note_;
    RunningApplications running_;
};

} // namespace velmora
