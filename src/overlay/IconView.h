// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>
#include <QWidget>

// A fixed-size square that paints an icon at paint time, so symbols stay
// crisp at any device pixel ratio.
class IconView : public QWidget
{
    Q_OBJECT
public:
    IconView(const QIcon &icon, int size, QWidget *parent = nullptr);

    // A symbol of the symbol table in the given colour.
    static IconView *symbol(const QString &symbol, const QColor &color, int size, QWidget *parent = nullptr);

    const QIcon &icon() const { return m_icon; }
    void setIcon(const QIcon &icon);
    // The symbol name when made by symbol(), else empty.
    const QString &symbolName() const { return m_symbolName; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QIcon m_icon;
    QString m_symbolName;
};
