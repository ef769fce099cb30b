#pragma once

#include <QString>
#include <QWidget>

class QLabel;

namespace velmora {

// A heading: a symbol followed by text, the symbol sized to the text's font
// and drawn in the text's colour.
class SymbolLabel final : public QWidget {
    Q_OBJECT

public:
    SymbolLabel(const QString& symbol, const QFont& font, QWidget* parent = nullptr);

    QString symbol() const { return symbol_; }
    QString text() const;
    void setText(const QString& text);
    QLabel* textLabel() const { return text_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void redrawSymbol();

    QString symbol_;
    QLabel* icon_;
    QLabel* text_;
};

} // namespace velmora
