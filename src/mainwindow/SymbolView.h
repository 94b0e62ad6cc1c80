#pragma once

#include <QWidget>

// One symbol of the symbol table drawn at a fixed size in the secondary text
// colour (or a given colour), following palette changes.
class SymbolView : public QWidget
{
    Q_OBJECT
public:
    SymbolView(const QString &symbol, int side, QWidget *parent = nullptr);

    QString symbol() const { return m_symbol; }
    void setSymbol(const QString &symbol);
    // An invalid colour means the palette's secondary text colour.
    void setColor(const QColor &color);

    QSize sizeHint() const override { return {m_side, m_side}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_symbol;
    int m_side;
    QColor m_color;
};
