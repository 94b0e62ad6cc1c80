// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QVBoxLayout;

// The panel shown where a list or an editor has nothing to show: a large
// symbol, a title, an optional description and an optional main button.
class EmptyStatePanel : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kSymbolSide = 48;
    static constexpr int kSpacing = 8;
    // Between the panel and its button.
    static constexpr int kButtonSpacing = 12;
    static constexpr int kMargin = 20;

    EmptyStatePanel(const QString &title, const QString &symbol, const QString &description = QString(),
                    QWidget *parent = nullptr);

    QString title() const;
    QString symbol() const { return m_symbol; }
    QString description() const;

    // Adds the prominent button below the panel; returns it.
    QPushButton *addButton(const QString &text);
    QPushButton *button() const { return m_button; }

private:
    QString m_symbol;
    QLabel *m_title;
    QLabel *m_description;
    QPushButton *m_button = nullptr;
    QVBoxLayout *m_stack;
};
