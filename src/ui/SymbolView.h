// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

// One symbol of the symbol table drawn at a fixed size in a colour of the
// palette (the secondary text colour unless told otherwise), following
// palette changes, or in a given colour.
class SymbolView : public QWidget
{
    Q_OBJECT
public:
    SymbolView(const QString &symbol, int side, QWidget *parent = nullptr);

    QString symbol() const { return m_symbol; }
    void setSymbol(const QString &symbol);
    // An invalid colour means the palette's colour for the role.
    void setColor(const QColor &color);
    void setColorRole(QPalette::ColorRole role);

    QSize sizeHint() const override { return {m_side, m_side}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_symbol;
    int m_side;
    QColor m_color;
    QPalette::ColorRole m_role = QPalette::PlaceholderText;
};
