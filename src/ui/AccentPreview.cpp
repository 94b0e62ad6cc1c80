// SPDX-License-Identifier: MIT
#include "AccentPreview.h"

#include "AccentSwatch.h"
#include "Appearance.h"
#include "Symbols.h"
#include "Theme.h"
#include "ThemeStore.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kPreferredWidth = 440;
constexpr int kMinimumWidth = 320;
constexpr qreal kSeparatorWidth = 1.0;
constexpr qreal kSeparatorOpacity = 0.12;
constexpr qreal kSidebarShadeOpacity = 0.04;
constexpr qreal kSecondaryOpacity = 0.55;
constexpr qreal kTertiaryOpacity = 0.3;
constexpr int kSidebarPadding = 8;
constexpr int kSidebarRowSpacing = 2;
constexpr int kSymbolSpacing = 6;
constexpr int kSymbolSize = 14;
constexpr int kHeaderSpacing = 6;
constexpr int kTaskTopSpacing = 10;
constexpr int kTaskRowHeight = 22;
constexpr int kTaskRowSpacing = 4;
constexpr qreal kButtonRadius = 6;
constexpr int kSwitchLabelSpacing = 8;
constexpr qreal kKnobInset = 1.5;
constexpr qreal kKnobShadowOffset = 0.5;
constexpr qreal kKnobShadowSpread = 0.8;

// Relative type sizes of the mock window.
constexpr qreal kCalloutScale = 0.95;
constexpr qreal kCaptionScale = 0.85;

QColor withOpacity(QColor c, qreal opacity)
{
    c.setAlphaF(c.alphaF() * opacity);
    return c;
}

QFont scaled(const QFont &base, qreal scale, QFont::Weight weight = QFont::Normal)
{
    QFont f = base;
    if (f.pointSizeF() > 0)
        f.setPointSizeF(f.pointSizeF() * scale);
    else
        f.setPixelSize(std::max(1, int(f.pixelSize() * scale)));
    f.setWeight(weight);
    return f;
}

// Draws a symbol and a text side by side, vertically centred in `row`
// starting at its left edge; returns the right edge of the text.
qreal symbolAndText(QPainter &p, const QRectF &row, const QString &symbol, const QColor &symbolColor,
                    const QString &text, const QFont &font, const QColor &textColor, bool struck = false)
{
    const qreal dpr = p.device()->devicePixelRatioF();
    const QPixmap glyph = Symbols::pixmap(symbol, kSymbolSize, symbolColor, dpr);
    const qreal top = row.center().y() - kSymbolSize / 2.0;
    p.drawPixmap(QPointF(row.left(), top), glyph);
    QFont f = font;
    f.setStrikeOut(struck);
    p.setFont(f);
    p.setPen(textColor);
    const QRectF textRect(row.left() + kSymbolSize + kSymbolSpacing, row.top(),
                          row.width() - kSymbolSize - kSymbolSpacing, row.height());
    QRectF used;
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, text, &used);
    return used.right();
}

} // namespace

AccentPreview::AccentPreview(ThemeStore *store, QWidget *parent) : QWidget(parent), m_store(store)
{
    setObjectName(QStringLiteral("accentPreview"));
    setFixedHeight(kHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(tr("Preview of the accent color"));
    if (m_store)
        connect(m_store, &ThemeStore::accentChanged, this, qOverload<>(&QWidget::update));
}

QColor AccentPreview::onAccentColor(const Theme &theme)
{
    return AccentSwatch::dotColor(theme);
}

QSize AccentPreview::sizeHint() const
{
    return {kPreferredWidth, kHeight};
}

QSize AccentPreview::minimumSizeHint() const
{
    return {kMinimumWidth, kHeight};
}

void AccentPreview::paintEvent(QPaintEvent *)
{
    const Theme &theme = m_store ? m_store->theme() : Theme::system();
    // Without a store the system theme shows the palette's own highlight.
    const QColor systemAccent =
        m_store ? m_store->appearance()->systemAccent() : palette().color(QPalette::Highlight);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const QRectF bounds = rect();
    QPainterPath shape;
    shape.addRoundedRect(bounds, kCornerRadius, kCornerRadius);
    p.save();
    p.setClipPath(shape);
    p.fillRect(bounds, palette().color(QPalette::Base));

    const QRectF sidebar(bounds.left(), bounds.top(), kSidebarWidth, bounds.height());
    p.fillRect(sidebar, withOpacity(palette().color(QPalette::WindowText), kSidebarShadeOpacity));
    const QColor separator = withOpacity(palette().color(QPalette::WindowText), kSeparatorOpacity);
    p.setPen(QPen(separator, kSeparatorWidth));
    p.drawLine(QPointF(sidebar.right() + kSeparatorWidth / 2, bounds.top()),
               QPointF(sidebar.right() + kSeparatorWidth / 2, bounds.bottom()));
    paintSidebar(p, sidebar, theme, systemAccent);
    const QRectF content = QRectF(sidebar.right() + kSeparatorWidth, bounds.top(),
                                  bounds.width() - kSidebarWidth - kSeparatorWidth, bounds.height())
                               .adjusted(kContentMargin, kContentMargin, -kContentMargin, -kContentMargin);
    paintContent(p, content, theme, systemAccent);
    p.restore();

    // The outline lies inside the shape: inset by half its width.
    const qreal half = kSeparatorWidth / 2;
    p.setPen(QPen(separator, kSeparatorWidth));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(bounds.adjusted(half, half, -half, -half), kCornerRadius - half, kCornerRadius - half);
}

void AccentPreview::paintSidebar(QPainter &p, const QRectF &area, const Theme &theme,
                                 const QColor &systemAccent) const
{
    const QFont callout = scaled(font(), kCalloutScale);
    const QColor primary = palette().color(QPalette::WindowText);
    struct Row
    {
        const char *text;
        const char *symbol;
        bool selected;
    };
    constexpr Row rows[] = {{QT_TR_NOOP("Inbox"), "tray", true},
                            {QT_TR_NOOP("Today"), "star", false},
                            {QT_TR_NOOP("Done"), "checkmark.circle", false}};
    QRectF row(area.left() + kSidebarPadding, area.top() + kSidebarPadding,
               area.width() - 2 * kSidebarPadding, kSidebarRowHeight);
    for (const Row &r : rows) {
        QColor color = primary;
        if (r.selected) {
            p.setPen(Qt::NoPen);
            p.setBrush(theme.accent(systemAccent));
            p.drawRoundedRect(row, kSidebarRowRadius, kSidebarRowRadius);
            color = onAccentColor(theme);
        }
        symbolAndText(p, row.adjusted(kSidebarRowMargin, 0, -kSidebarRowMargin, 0),
                      QString::fromLatin1(r.symbol), color, tr(r.text), callout, color);
        row.translate(0, kSidebarRowHeight + kSidebarRowSpacing);
    }
}

void AccentPreview::paintContent(QPainter &p, const QRectF &area, const Theme &theme,
                                 const QColor &systemAccent) const
{
    const QColor primary = palette().color(QPalette::WindowText);
    const QColor secondary = withOpacity(primary, kSecondaryOpacity);
    const QColor tertiary = withOpacity(primary, kTertiaryOpacity);
    const QColor accent = theme.accent(systemAccent);
    const QColor accentText = theme.accentText(palette(), systemAccent);
    const QFont headline = scaled(font(), 1.0, QFont::Bold);
    const QFont caption = scaled(font(), kCaptionScale);
    const QFont captionMedium = scaled(font(), kCaptionScale, QFont::Medium);
    const QFont callout = scaled(font(), kCalloutScale);
    const QFont calloutMedium = scaled(font(), kCalloutScale, QFont::Medium);

    // Header: the list's name and how many tasks are left.
    const QFontMetricsF headlineMetrics(headline);
    const QFontMetricsF captionMetrics(caption);
    const qreal baseline = area.top() + headlineMetrics.ascent();
    p.setFont(headline);
    p.setPen(primary);
    const QString inbox = tr("Inbox");
    p.drawText(QPointF(area.left(), baseline), inbox);
    p.setFont(caption);
    p.setPen(accentText);
    p.drawText(QPointF(area.left() + headlineMetrics.horizontalAdvance(inbox) + kHeaderSpacing, baseline),
               tr("1 left"));

    // Two tasks: one done, one open with a tag.
    QRectF row(area.left(), area.top() + headlineMetrics.height() + kTaskTopSpacing, area.width(),
               kTaskRowHeight);
    symbolAndText(p, row, QStringLiteral("checkmark.circle.fill"), accentText, tr("Pick a color"), callout,
                  secondary, true);
    row.translate(0, kTaskRowHeight + kTaskRowSpacing);
    const qreal titleRight = symbolAndText(p, row, QStringLiteral("circle"), tertiary,
                                           tr("Ship the first build"), callout, primary);
    const QString tag = tr("Today");
    const QFontMetricsF tagMetrics(captionMedium);
    const QSizeF tagSize(tagMetrics.horizontalAdvance(tag) + 2 * kTagMarginH,
                         tagMetrics.height() + 2 * kTagMarginV);
    const QRectF tagRect(QPointF(titleRight + kSymbolSpacing, row.center().y() - tagSize.height() / 2),
                         tagSize);
    p.setPen(Qt::NoPen);
    p.setBrush(withOpacity(accent, kTagOpacity));
    p.drawRoundedRect(tagRect, tagSize.height() / 2, tagSize.height() / 2);
    p.setFont(captionMedium);
    p.setPen(accentText);
    p.drawText(tagRect, Qt::AlignCenter, tag);

    // Bottom row: a filled button, then "Focus" and a switch that is on.
    const QColor onAccent = onAccentColor(theme);
    const QString addTask = tr("Add Task");
    const QFontMetricsF buttonMetrics(calloutMedium);
    const qreal buttonWidth =
        2 * kButtonMargin + kSymbolSize + kSymbolSpacing + buttonMetrics.horizontalAdvance(addTask);
    const QRectF button(area.left(), area.bottom() - kButtonHeight, buttonWidth, kButtonHeight);
    p.setPen(Qt::NoPen);
    p.setBrush(accent);
    p.drawRoundedRect(button, kButtonRadius, kButtonRadius);
    symbolAndText(p, button.adjusted(kButtonMargin, 0, -kButtonMargin, 0), QStringLiteral("plus"), onAccent,
                  addTask, calloutMedium, onAccent);

    const QRectF track(
        QPointF(area.right() - kSwitchSize.width(), button.center().y() - kSwitchSize.height() / 2.0),
        QSizeF(kSwitchSize));
    p.setPen(Qt::NoPen);
    p.setBrush(accent);
    p.drawRoundedRect(track, track.height() / 2, track.height() / 2);
    const qreal knobDiameter = track.height() - 2 * kKnobInset;
    const QRectF knob(track.right() - kKnobInset - knobDiameter, track.top() + kKnobInset, knobDiameter,
                      knobDiameter);
    p.setBrush(QColor(0, 0, 0, int(255 * kKnobShadowOpacity)));
    p.drawEllipse(knob.translated(0, kKnobShadowOffset)
                      .adjusted(-kKnobShadowSpread / 2, -kKnobShadowSpread / 2, kKnobShadowSpread / 2,
                                kKnobShadowSpread / 2));
    p.setBrush(Qt::white);
    p.drawEllipse(knob);

    const QString focus = tr("Focus");
    p.setFont(caption);
    p.setPen(secondary);
    const qreal focusWidth = captionMetrics.horizontalAdvance(focus);
    p.drawText(
        QRectF(track.left() - kSwitchLabelSpacing - focusWidth, button.top(), focusWidth, button.height()),
        Qt::AlignRight | Qt::AlignVCenter, focus);
}
