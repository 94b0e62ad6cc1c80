#pragma once

#include <QColor>
#include <QWidget>

// A symbol from the symbol table drawn at a fixed size, in the widget's
// text colour (so it follows light and dark) or in a colour of its own.
class SettingsSymbol : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kDefaultSize = 16;

    explicit SettingsSymbol(const QString &symbol, int size = kDefaultSize, QWidget *parent = nullptr);

    QString symbol() const { return m_symbol; }
    void setSymbol(const QString &symbol);
    // An invalid colour means the text colour of the palette.
    QColor color() const { return m_color; }
    void setColor(const QColor &color);

    QSize sizeHint() const override { return {m_size, m_size}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_symbol;
    int m_size;
    QColor m_color;
};
