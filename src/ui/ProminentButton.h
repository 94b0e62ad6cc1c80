// SPDX-License-Identifier: MIT
#pragma once

#include <QPushButton>

// A filled accent-coloured push button for the one main action of a panel.
class ProminentButton : public QPushButton
{
    Q_OBJECT
public:
    static constexpr int kHorizontalPadding = 16;
    static constexpr int kVerticalPadding = 6;
    static constexpr qreal kCornerRadius = 6;

    explicit ProminentButton(const QString &text, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
};
