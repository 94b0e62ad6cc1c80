// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QMargins>

// The exit buttons of the overlay: a symbol and a text in one colour, on a
// rounded rectangle filled with that colour faintly and bordered with it.
class OverlayButton : public QAbstractButton
{
    Q_OBJECT
public:
    struct Look
    {
        QColor color;
        int iconSpacing = 0;
        int marginH = 0;
        int marginV = 0;
    };

    OverlayButton(const QString &symbol, const QString &text, const Look &look, QWidget *parent = nullptr);

    const QString &symbol() const { return m_symbol; }
    const Look &look() const { return m_look; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    int iconSize() const;

    QString m_symbol;
    Look m_look;
    bool m_keyboardFocus = false; // the focus ring shows only when reached from the keyboard
};
