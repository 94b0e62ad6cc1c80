// SPDX-License-Identifier: MIT
#include "StatusItem.h"

#include "StatusText.h"
#include "Symbols.h"
#include "TrayIcon.h"

#include <QApplication>
#include <QFont>
#include <QPainter>
#include <QPalette>
#include <QSystemTrayIcon>

StatusItem::StatusItem(std::unique_ptr<TrayIcon> tray, QObject *parent)
    : QObject(parent), m_tray(std::move(tray))
{
    m_accent = QApplication::palette().color(QPalette::Highlight);
    m_tray->setIcon(iconFor(QString(), m_accent));
    ++m_trayWrites;
    connect(m_tray.get(), &TrayIcon::activated, this, &StatusItem::clicked);
    m_tray->show();
}

StatusItem::~StatusItem() = default;

namespace {
bool g_shownWithoutHost = false;
} // namespace

bool StatusItem::isTrayAvailable()
{
    return g_shownWithoutHost || QSystemTrayIcon::isSystemTrayAvailable();
}

void StatusItem::setShownWithoutHost(bool shown)
{
    g_shownWithoutHost = shown;
}

void StatusItem::setTitle(const QString &title)
{
    if (title == m_title)
        return;
    m_title = title;
    m_tray->setTitle(m_title);
    m_tray->setIcon(iconFor(m_title, m_accent));
    ++m_trayWrites;
}

void StatusItem::setToolTip(const QString &toolTip)
{
    if (toolTip == m_toolTip)
        return;
    m_toolTip = toolTip;
    m_tray->setToolTip(toolTip);
    ++m_trayWrites;
}

QString StatusItem::idleToolTip()
{
    return QCoreApplication::translate("StatusText", StatusText::kIdleToolTip);
}

void StatusItem::showIdle()
{
    setTitle(QString());
    setToolTip(idleToolTip());
}

bool StatusItem::isIdle() const
{
    return m_title.isEmpty() && m_toolTip == idleToolTip();
}

void StatusItem::setAccent(const QColor &accent)
{
    if (accent == m_accent)
        return;
    m_accent = accent;
    // The idle symbol is drawn in the text colour, not the accent.
    if (m_title.isEmpty())
        return;
    m_tray->setIcon(iconFor(m_title, m_accent));
    ++m_trayWrites;
}

QRect StatusItem::geometry() const
{
    return m_tray->geometry();
}

bool StatusItem::isVisible() const
{
    return m_tray->isVisible();
}

QIcon StatusItem::iconFor(const QString &title, const QColor &accent)
{
    // Tray icons are square and small: the countdown is drawn as minutes
    // over seconds on an accent-coloured tile so it stays readable at 22 px.
    constexpr int s = kIconSize;
    if (title.isEmpty()) {
        const QColor ink = QApplication::palette().color(QPalette::WindowText).lightness() > 128
                               ? QColor(Qt::white)
                               : QColor(40, 40, 46);
        QIcon icon;
        icon.addPixmap(Symbols::pixmap(QStringLiteral("timer"), s, ink));
        return icon;
    }
    const QStringList parts = title.split(QLatin1Char(':'));
    QPixmap pm(s, s);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(accent.isValid() ? accent : QColor(0, 122, 255));
    p.drawRoundedRect(QRectF(1, 1, s - 2, s - 2), s * 0.2, s * 0.2);
    const bool darkText = accent.isValid() && accent.lightnessF() > 0.7;
    p.setPen(darkText ? QColor(22, 22, 28) : QColor(Qt::white));
    QFont font = QApplication::font();
    font.setBold(true);
    font.setPixelSize(int(s * 0.42));
    p.setFont(font);
    const QString top = parts.value(0);
    const QString bottom = parts.value(1);
    const QRect upper(0, int(s * 0.04), s, s / 2);
    const QRect lower(0, s / 2 - int(s * 0.02), s, s / 2);
    // Three-digit minutes get a narrower font so they fit the tile.
    if (top.size() > 2) {
        QFont narrow = font;
        narrow.setPixelSize(int(s * 0.32));
        p.setFont(narrow);
    }
    p.drawText(upper, Qt::AlignCenter, top);
    p.setFont(font);
    p.drawText(lower, Qt::AlignCenter, bottom);
    p.end();
    QIcon icon;
    icon.addPixmap(pm);
    return icon;
}
