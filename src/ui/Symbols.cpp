// SPDX-License-Identifier: MIT
#include "Symbols.h"

#include <QApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>

#include <cmath>

namespace {

// Glyphs are drawn on a 24 x 24 grid and scaled to the requested size.
constexpr qreal kGrid = 24.0;
constexpr qreal kStroke = 1.8;

using Drawer = void (*)(QPainter &, const QColor &);

void strokeOnly(QPainter &p, const QColor &c)
{
    p.setPen(QPen(c, kStroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
}

void fillOnly(QPainter &p, const QColor &c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
}

void clockFace(QPainter &p, const QColor &c, QPointF centre, qreal r)
{
    strokeOnly(p, c);
    p.drawEllipse(centre, r, r);
    p.drawLine(centre, centre + QPointF(0, -r * 0.6));
    p.drawLine(centre, centre + QPointF(r * 0.45, r * 0.2));
}

void padlock(QPainter &p, const QColor &c, QRectF body)
{
    strokeOnly(p, c);
    const qreal w = body.width() * 0.32;
    QPainterPath shackle;
    shackle.moveTo(body.center().x() - w, body.top());
    shackle.lineTo(body.center().x() - w, body.top() - w * 0.9);
    shackle.arcTo(QRectF(body.center().x() - w, body.top() - w * 1.9, 2 * w, 2 * w), 180, -180);
    shackle.lineTo(body.center().x() + w, body.top());
    p.drawPath(shackle);
    fillOnly(p, c);
    p.drawRoundedRect(body, 2, 2);
}

void checkMark(QPainter &p, const QColor &c, qreal scale = 1.0)
{
    p.setPen(QPen(c, kStroke * scale, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath tick;
    tick.moveTo(7.5, 12.5);
    tick.lineTo(10.5, 15.5);
    tick.lineTo(16.5, 8.5);
    p.drawPath(tick);
}

void gear(QPainter &p, const QColor &c)
{
    QPainterPath outline;
    const QPointF o(12, 12);
    constexpr int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const qreal a = (M_PI * 2 * i) / (teeth * 2);
        const qreal r = (i % 2 == 0) ? 10.0 : 7.8;
        const qreal spread = M_PI / (teeth * 2) * 0.55;
        const QPointF p1 = o + QPointF(std::cos(a - spread) * r, std::sin(a - spread) * r);
        const QPointF p2 = o + QPointF(std::cos(a + spread) * r, std::sin(a + spread) * r);
        if (i == 0)
            outline.moveTo(p1);
        else
            outline.lineTo(p1);
        outline.lineTo(p2);
    }
    outline.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(o, 3.2, 3.2);
    fillOnly(p, c);
    p.drawPath(outline.subtracted(hole));
}

// One drawing per symbol on a 24 x 24 grid, in the tint given.
void drawTimer(QPainter &p, const QColor &c)
{
    clockFace(p, c, {12, 13}, 8.5);
    strokeOnly(p, c);
    p.drawLine(QPointF(10, 2.5), QPointF(14, 2.5));
}

void drawTimerSlash(QPainter &p, const QColor &c)
{
    clockFace(p, c, {12, 13}, 8.5);
    strokeOnly(p, c);
    p.drawLine(QPointF(10, 2.5), QPointF(14, 2.5));
    p.drawLine(QPointF(3, 3), QPointF(21, 22));
}

void drawClock(QPainter &p, const QColor &c)
{
    clockFace(p, c, {12, 12}, 9.5);
}

void drawClockArrowCirclepath(QPainter &p, const QColor &c)
{
    strokeOnly(p, c);
    p.drawArc(QRectF(2.5, 2.5, 19, 19), 200 * 16, 300 * 16);
    p.drawLine(QPointF(12, 12), QPointF(12, 7));
    p.drawLine(QPointF(12, 12), QPointF(15.5, 14));
    QPainterPath head;
    head.moveTo(1.5, 9.5);
    head.lineTo(3.4, 14.2);
    head.lineTo(7, 10.5);
    p.drawPath(head);
}

void drawEyeSlash(QPainter &p, const QColor &c)
{
    strokeOnly(p, c);
    QPainterPath eye;
    eye.moveTo(2, 12);
    eye.quadTo(12, 2, 22, 12);
    eye.quadTo(12, 22, 2, 12);
    p.drawPath(eye);
    p.drawEllipse(QPointF(12, 12), 3, 3);
    p.drawLine(QPointF(4, 3.5), QPointF(20, 20.5));
}

void drawLock(QPainter &p, const QColor &c)
{
    padlock(p, c, QRectF(5, 11, 14, 10));
}

void drawLockShield(QPainter &p, const QColor &c)
{
    strokeOnly(p, c);
    QPainterPath shield;
    shield.moveTo(12, 2);
    shield.lineTo(20.5, 5);
    shield.cubicTo(20.5, 13, 17.5, 19, 12, 22);
    shield.cubicTo(6.5, 19, 3.5, 13, 3.5, 5);
    shield.closeSubpath();
    p.drawPath(shield);
    padlock(p, c, QRectF(9, 11.5, 6, 5));
}

void drawLockRotation(QPainter &p, const QColor &c)
{
    strokeOnly(p, c);
    p.drawArc(QRectF(2.5, 2.5, 19, 19), 110 * 16, 300 * 16);
    QPainterPath head;
    head.moveTo(5.5, 2.5);
    head.lineTo(8.8, 4.3);
    head.lineTo(6.8, 7.5);
    p.drawPath(head);
    padlock(p, c, QRectF(8.5, 11.5, 7, 5.5));
}

void drawRectangleOnRectangle(QPainter &p, const QColor &c)
{
    strokeOnly(p, c);
    p.drawRoundedRect(QRectF(7, 3, 14, 11), 2, 2);
    QPainterPath back;
    back.moveTo(7, 9);
    back.lineTo(4.5, 9);
    back.arcTo(QRectF(3, 9, 3, 3), 90, 90);
    back.lineTo(3, 19);
    back.arcTo(QRectF(3, 18, 3, 3), 180, 90);
    back.lineTo(15.5, 21);
    back.arcTo(QRectF(14, 18, 3, 3), 270, 90);
    back.lineTo(17, 14);
    p.drawPath(back);
}

void drawGearshape(QPainter &p, const QColor &c)
{
    gear(p, c);
}

void drawCheckmarkCircle(QPainter &p, const QColor &c)
{
    strokeOnly(p, c);
    p.drawEllipse(QPointF(12, 12), 9.5, 9.5);
    checkMark(p, c);
}

void drawCheckmarkCircleFill(QPainter &p, const QColor &c)
{
    QPainterPath disc;
    disc.addEllipse(QPointF(12, 12), 10.5, 10.5);
    QPainterPathStroker stroker;
    stroker.setWidth(kStroke * 1.3);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    QPainterPath tick;
    tick.moveTo(7.5, 12.5);
    tick.lineTo(10.5, 15.5);
    tick.lineTo(16.5, 8.5);
    fillOnly(p, c);
    p.drawPath(disc.subtracted(stroker.createStroke(tick)));
}

void drawCircle(QPainter &p, const QColor &c)
{
    strokeOnly(p, c);
    p.drawEllipse(QPointF(12, 12), 9.5, 9.5);
}

void drawCircleLefthalfFilled(QPainter &p, const QColor &c)
{
    strokeOnly(p, c);
    p.drawEllipse(QPointF(12, 12), 9.5, 9.5);
    fillOnly(p, c);
    p.drawPie(QRectF(2.5, 2.5, 19, 19), 90 * 16, 180 * 16);
}

void drawCircleLefthalfFilledInverse(QPainter &p, const QColor &c)
{
    strokeOnly(p, c);
    p.drawEllipse(QPointF(12, 12), 9.5, 9.5);
    fillOnly(p, c);
    p.drawPie(QRectF(2.5, 2.5, 19, 19), 270 * 16, 180 * 16);
}

void drawTextQuote(QPainter &p, const QColor &c)
{
    strokeOnly(p, c);
    p.drawLine(QPointF(10, 6), QPointF(21, 6));
    p.drawLine(QPointF(10, 11), QPointF(21, 11));
    p.drawLine(QPointF(3, 16), QPointF(21, 16));
    p.drawLine(QPointF(3, 20.5), QPointF(15, 20.5));
    fillOnly(p, c);
    p.drawEllipse(QPointF(4.5, 7), 1.8, 1.8);
    p.drawEllipse(QPointF(8, 7), 1.8, 1.8);
}

void drawNumber(QPainter &p, const QColor &c)
{
    strokeOnly(p, c);
    p.drawLine(QPointF(9.5, 3), QPointF(7.5, 21));
    p.drawLine(QPointF(16.5, 3), QPointF(14.5, 21));
    p.drawLine(QPointF(4, 8.5), QPointF(21, 8.5));
    p.drawLine(QPointF(3, 15.5), QPointF(20, 15.5));
}

void drawKey(QPainter &p, const QColor &c)
{
    strokeOnly(p, c);
    p.drawEllipse(QPointF(7.5, 12), 4.5, 4.5);
    p.drawLine(QPointF(12, 12), QPointF(21.5, 12));
    p.drawLine(QPointF(18, 12), QPointF(18, 16));
    p.drawLine(QPointF(21, 12), QPointF(21, 15));
}

void drawPaintpalette(QPainter &p, const QColor &c)
{
    QPainterPath palette;
    palette.moveTo(12, 2.5);
    palette.cubicTo(18, 2.5, 21.5, 6.5, 21.5, 11);
    palette.cubicTo(21.5, 14.5, 18.5, 15, 16.5, 15);
    palette.cubicTo(14.5, 15, 13.5, 16.5, 14.5, 18.5);
    palette.cubicTo(15.5, 20.5, 14, 21.5, 12, 21.5);
    palette.cubicTo(6.5, 21.5, 2.5, 17, 2.5, 12);
    palette.cubicTo(2.5, 6.5, 6.5, 2.5, 12, 2.5);
    QPainterPath holes;
    for (const QPointF pt : {QPointF(7.5, 9), QPointF(11.5, 6.5), QPointF(16, 8), QPointF(7, 14)})
        holes.addEllipse(pt, 1.7, 1.7);
    fillOnly(p, c);
    p.drawPath(palette.subtracted(holes));
}

void drawPhoto(QPainter &p, const QColor &c)
{
    strokeOnly(p, c);
    p.drawRoundedRect(QRectF(2.5, 4.5, 19, 15), 2.5, 2.5);
    QPainterPath hills;
    hills.moveTo(3.5, 17.5);
    hills.lineTo(9, 11.5);
    hills.lineTo(13, 15.5);
    hills.lineTo(15.5, 13);
    hills.lineTo(20.5, 17.5);
    p.drawPath(hills);
    fillOnly(p, c);
    p.drawEllipse(QPointF(16, 8.8), 1.8, 1.8);
}

void drawAppFill(QPainter &p, const QColor &c)
{
    fillOnly(p, c);
    p.drawRoundedRect(QRectF(3, 3, 18, 18), 5, 5);
}

void drawExclamationmarkTriangle(QPainter &p, const QColor &c)
{
    strokeOnly(p, c);
    QPainterPath tri;
    tri.moveTo(12, 3);
    tri.lineTo(22, 20.5);
    tri.lineTo(2, 20.5);
    tri.closeSubpath();
    p.drawPath(tri);
    p.drawLine(QPointF(12, 9.5), QPointF(12, 14.5));
    fillOnly(p, c);
    p.drawEllipse(QPointF(12, 17.6), 1.1, 1.1);
}

void drawPowerCircleFill(QPainter &p, const QColor &c)
{
    QPainterPath disc;
    disc.addEllipse(QPointF(12, 12), 10.5, 10.5);
    QPainterPath symbol;
    symbol.arcMoveTo(QRectF(7, 7.5, 10, 10), 125);
    symbol.arcTo(QRectF(7, 7.5, 10, 10), 125, 290);
    symbol.moveTo(12, 5.5);
    symbol.lineTo(12, 11.5);
    QPainterPathStroker stroker;
    stroker.setWidth(kStroke);
    stroker.setCapStyle(Qt::RoundCap);
    fillOnly(p, c);
    p.drawPath(disc.subtracted(stroker.createStroke(symbol)));
}

void drawPlus(QPainter &p, const QColor &c)
{
    strokeOnly(p, c);
    p.drawLine(QPointF(12, 4), QPointF(12, 20));
    p.drawLine(QPointF(4, 12), QPointF(20, 12));
}

void drawSidebarLeft(QPainter &p, const QColor &c)
{
    strokeOnly(p, c);
    p.drawRoundedRect(QRectF(2.5, 4.5, 19, 15), 2.5, 2.5);
    p.drawLine(QPointF(9, 4.5), QPointF(9, 19.5));
}

void drawSidebarRight(QPainter &p, const QColor &c)
{
    strokeOnly(p, c);
    p.drawRoundedRect(QRectF(2.5, 4.5, 19, 15), 2.5, 2.5);
    p.drawLine(QPointF(15, 4.5), QPointF(15, 19.5));
}

void drawChartBarXaxis(QPainter &p, const QColor &c)
{
    strokeOnly(p, c);
    p.drawLine(QPointF(2.5, 21), QPointF(21.5, 21));
    fillOnly(p, c);
    p.drawRoundedRect(QRectF(4, 12, 4, 7), 1, 1);
    p.drawRoundedRect(QRectF(10, 4, 4, 15), 1, 1);
    p.drawRoundedRect(QRectF(16, 9, 4, 10), 1, 1);
}

void drawFlame(QPainter &p, const QColor &c)
{
    strokeOnly(p, c);
    QPainterPath flame;
    flame.moveTo(12, 2.5);
    flame.cubicTo(14, 7, 19, 9, 19, 14.5);
    flame.cubicTo(19, 18.5, 16, 21.5, 12, 21.5);
    flame.cubicTo(8, 21.5, 5, 18.5, 5, 14.5);
    flame.cubicTo(5, 11, 7.5, 9.5, 8.5, 7.5);
    flame.cubicTo(9.5, 10, 11, 10.5, 11, 10.5);
    flame.cubicTo(11, 7, 11.5, 4.5, 12, 2.5);
    p.drawPath(flame);
}

void drawTrophy(QPainter &p, const QColor &c)
{
    strokeOnly(p, c);
    QPainterPath cup;
    cup.moveTo(6.5, 3);
    cup.lineTo(17.5, 3);
    cup.lineTo(17.5, 9);
    cup.cubicTo(17.5, 12.5, 15, 14.5, 12, 14.5);
    cup.cubicTo(9, 14.5, 6.5, 12.5, 6.5, 9);
    cup.closeSubpath();
    p.drawPath(cup);
    p.drawArc(QRectF(2.5, 4.5, 5, 6), 90 * 16, 180 * 16);
    p.drawArc(QRectF(16.5, 4.5, 5, 6), 270 * 16, 180 * 16);
    p.drawLine(QPointF(12, 14.5), QPointF(12, 18.5));
    p.drawLine(QPointF(8, 21), QPointF(16, 21));
}

void drawStar(QPainter &p, const QColor &c)
{
    strokeOnly(p, c);
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const qreal a = -M_PI / 2 + i * M_PI / 5;
        const qreal r = (i % 2 == 0) ? 10.0 : 4.3;
        const QPointF pt(12 + std::cos(a) * r, 12.8 + std::sin(a) * r);
        if (i == 0)
            star.moveTo(pt);
        else
            star.lineTo(pt);
    }
    star.closeSubpath();
    p.drawPath(star);
}

void drawTray(QPainter &p, const QColor &c)
{
    strokeOnly(p, c);
    QPainterPath tray;
    tray.moveTo(2.5, 13);
    tray.lineTo(5.5, 4.5);
    tray.lineTo(18.5, 4.5);
    tray.lineTo(21.5, 13);
    tray.lineTo(21.5, 19.5);
    tray.lineTo(2.5, 19.5);
    tray.closeSubpath();
    tray.moveTo(2.5, 13);
    tray.lineTo(8, 13);
    tray.lineTo(9.5, 15.5);
    tray.lineTo(14.5, 15.5);
    tray.lineTo(16, 13);
    tray.lineTo(21.5, 13);
    p.drawPath(tray);
}

// "»" and its turn downwards: more of a row than fits.
void drawChevronRight2(QPainter &p, const QColor &c)
{
    strokeOnly(p, c);
    p.drawPolyline(QPolygonF({QPointF(6, 6), QPointF(12, 12), QPointF(6, 18)}));
    p.drawPolyline(QPolygonF({QPointF(12, 6), QPointF(18, 12), QPointF(12, 18)}));
}

void drawChevronDown2(QPainter &p, const QColor &c)
{
    strokeOnly(p, c);
    p.drawPolyline(QPolygonF({QPointF(6, 6), QPointF(12, 12), QPointF(18, 6)}));
    p.drawPolyline(QPolygonF({QPointF(6, 12), QPointF(12, 18), QPointF(18, 12)}));
}

const QHash<QString, Drawer> &drawers()
{
    static const QHash<QString, Drawer> table = {
        {QStringLiteral("timer"), &drawTimer},
        {QStringLiteral("timer.slash"), &drawTimerSlash},
        {QStringLiteral("clock"), &drawClock},
        {QStringLiteral("clock.arrow.circlepath"), &drawClockArrowCirclepath},
        {QStringLiteral("eye.slash"), &drawEyeSlash},
        {QStringLiteral("lock"), &drawLock},
        {QStringLiteral("lock.shield"), &drawLockShield},
        {QStringLiteral("lock.rotation"), &drawLockRotation},
        {QStringLiteral("rectangle.on.rectangle"), &drawRectangleOnRectangle},
        {QStringLiteral("gearshape"), &drawGearshape},
        {QStringLiteral("checkmark.circle"), &drawCheckmarkCircle},
        {QStringLiteral("checkmark.circle.fill"), &drawCheckmarkCircleFill},
        {QStringLiteral("circle"), &drawCircle},
        {QStringLiteral("circle.lefthalf.filled"), &drawCircleLefthalfFilled},
        {QStringLiteral("circle.lefthalf.filled.inverse"), &drawCircleLefthalfFilledInverse},
        {QStringLiteral("text.quote"), &drawTextQuote},
        {QStringLiteral("number"), &drawNumber},
        {QStringLiteral("key"), &drawKey},
        {QStringLiteral("paintpalette"), &drawPaintpalette},
        {QStringLiteral("photo"), &drawPhoto},
        {QStringLiteral("app.fill"), &drawAppFill},
        {QStringLiteral("exclamationmark.triangle"), &drawExclamationmarkTriangle},
        {QStringLiteral("power.circle.fill"), &drawPowerCircleFill},
        {QStringLiteral("plus"), &drawPlus},
        {QStringLiteral("sidebar.left"), &drawSidebarLeft},
        {QStringLiteral("sidebar.right"), &drawSidebarRight},
        {QStringLiteral("chart.bar.xaxis"), &drawChartBarXaxis},
        {QStringLiteral("flame"), &drawFlame},
        {QStringLiteral("trophy"), &drawTrophy},
        {QStringLiteral("star"), &drawStar},
        {QStringLiteral("tray"), &drawTray},
        {QStringLiteral("chevron.right.2"), &drawChevronRight2},
        {QStringLiteral("chevron.down.2"), &drawChevronDown2},
    };
    return table;
}

const QHash<QString, QString> &themeNames()
{
    static const QHash<QString, QString> table = {
        {QStringLiteral("timer"), QStringLiteral("alarm-symbolic")},
        {QStringLiteral("timer.slash"), QStringLiteral("alarm-symbolic")},
        {QStringLiteral("clock"), QStringLiteral("preferences-system-time-symbolic")},
        {QStringLiteral("clock.arrow.circlepath"), QStringLiteral("document-open-recent-symbolic")},
        {QStringLiteral("eye.slash"), QStringLiteral("view-conceal-symbolic")},
        {QStringLiteral("lock"), QStringLiteral("system-lock-screen-symbolic")},
        {QStringLiteral("lock.shield"), QStringLiteral("security-high-symbolic")},
        {QStringLiteral("lock.rotation"), QStringLiteral("rotation-locked-symbolic")},
        {QStringLiteral("rectangle.on.rectangle"), QStringLiteral("focus-windows-symbolic")},
        {QStringLiteral("gearshape"), QStringLiteral("preferences-system-symbolic")},
        {QStringLiteral("checkmark.circle"), QStringLiteral("emblem-ok-symbolic")},
        {QStringLiteral("checkmark.circle.fill"), QStringLiteral("emblem-ok-symbolic")},
        {QStringLiteral("circle"), QStringLiteral("radio-symbolic")},
        {QStringLiteral("circle.lefthalf.filled"), QStringLiteral("preferences-desktop-appearance-symbolic")},
        {QStringLiteral("circle.lefthalf.filled.inverse"),
         QStringLiteral("preferences-desktop-appearance-symbolic")},
        {QStringLiteral("text.quote"), QStringLiteral("format-text-plaintext-symbolic")},
        {QStringLiteral("number"), QStringLiteral("accessories-calculator-symbolic")},
        {QStringLiteral("key"), QStringLiteral("dialog-password-symbolic")},
        {QStringLiteral("paintpalette"), QStringLiteral("preferences-color-symbolic")},
        {QStringLiteral("photo"), QStringLiteral("image-x-generic-symbolic")},
        {QStringLiteral("app.fill"), QStringLiteral("application-x-executable")},
        {QStringLiteral("exclamationmark.triangle"), QStringLiteral("dialog-warning-symbolic")},
        {QStringLiteral("power.circle.fill"), QStringLiteral("system-shutdown-symbolic")},
        {QStringLiteral("plus"), QStringLiteral("list-add-symbolic")},
        {QStringLiteral("sidebar.left"), QStringLiteral("sidebar-show-symbolic")},
        {QStringLiteral("sidebar.right"), QStringLiteral("sidebar-show-right-symbolic")},
        {QStringLiteral("chart.bar.xaxis"), QStringLiteral("utilities-system-monitor-symbolic")},
        {QStringLiteral("flame"), QStringLiteral("weather-clear-symbolic")},
        {QStringLiteral("trophy"), QStringLiteral("starred-symbolic")},
        {QStringLiteral("star"), QStringLiteral("non-starred-symbolic")},
        {QStringLiteral("tray"), QStringLiteral("mail-inbox-symbolic")},
        {QStringLiteral("chevron.right.2"), QStringLiteral("go-next-symbolic")},
        {QStringLiteral("chevron.down.2"), QStringLiteral("go-down-symbolic")},
    };
    return table;
}

void paintGlyph(QPainter &painter, const QString &symbol, const QRectF &rect, const QColor &color)
{
    const auto &table = drawers();
    const auto it = table.constFind(symbol);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = std::min(rect.width(), rect.height());
    painter.translate(rect.center() - QPointF(side / 2, side / 2));
    painter.scale(side / kGrid, side / kGrid);
    if (it != table.constEnd()) {
        (*it)(painter, color);
    } else {
        strokeOnly(painter, color);
        painter.drawEllipse(QPointF(12, 12), 8, 8);
    }
    painter.restore();
}

// Paints the glyph in the colour of the widget it is shown on, so icons
// follow light, dark and selected rows without separate images.
class GlyphEngine : public QIconEngine
{
public:
    GlyphEngine(QString symbol, QColor tint) : m_symbol(std::move(symbol)), m_tint(tint) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        paintGlyph(*painter, m_symbol, rect, colorFor(mode));
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State, qreal scale) override
    {
        QPixmap pm(size * scale);
        pm.setDevicePixelRatio(scale);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        paintGlyph(p, m_symbol, QRectF(QPointF(0, 0), QSizeF(size)), colorFor(mode));
        return pm;
    }

    QIconEngine *clone() const override { return new GlyphEngine(m_symbol, m_tint); }
    QString key() const override { return QStringLiteral("LumoraGlyph"); }
    QString iconName() override { return m_symbol; }

private:
    QColor colorFor(QIcon::Mode mode) const
    {
        const QPalette pal = QApplication::palette();
        QColor c = m_tint.isValid() ? m_tint : pal.color(QPalette::WindowText);
        if (mode == QIcon::Selected && !m_tint.isValid())
            c = pal.color(QPalette::HighlightedText);
        if (mode == QIcon::Disabled)
            c.setAlphaF(c.alphaF() * 0.4);
        return c;
    }

    QString m_symbol;
    QColor m_tint;
};

} // namespace

namespace Symbols {

QString freedesktopName(const QString &symbol)
{
    return themeNames().value(symbol);
}

bool hasGlyph(const QString &symbol)
{
    return drawers().contains(symbol);
}

QStringList knownSymbols()
{
    QStringList names = themeNames().keys();
    names.sort();
    return names;
}

QIcon icon(const QString &symbol, const QColor &tint)
{
    if (!hasGlyph(symbol)) {
        const QString themeName = freedesktopName(symbol);
        if (!themeName.isEmpty() && QIcon::hasThemeIcon(themeName))
            return QIcon::fromTheme(themeName);
    }
    return QIcon(new GlyphEngine(symbol, tint));
}

QPixmap pixmap(const QString &symbol, int size, const QColor &color, qreal devicePixelRatio)
{
    QPixmap pm(QSize(size, size) * devicePixelRatio);
    pm.setDevicePixelRatio(devicePixelRatio);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    paintGlyph(p, symbol, QRectF(0, 0, size, size), color);
    return pm;
}

} // namespace Symbols
