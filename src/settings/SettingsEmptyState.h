#pragma once

#include <QWidget>

class QLabel;
class SettingsSymbol;

// The panel shown where a list has nothing to show: a large symbol, a
// title and an optional description, centred.
class SettingsEmptyState : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kSymbolSize = 36;
    static constexpr int kSpacing = 6;
    static constexpr int kMargin = 16;

    SettingsEmptyState(const QString &title, const QString &symbol, const QString &description = QString(),
                       QWidget *parent = nullptr);

    QString title() const;
    QString description() const;

private:
    QLabel *m_title;
    QLabel *m_description;
};
