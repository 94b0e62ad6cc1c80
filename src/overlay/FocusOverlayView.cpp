// SPDX-License-Identifier: MIT
#include "FocusOverlayView.h"

#include "Accessible.h"
#include "AllowedAppBadge.h"
#include "ChallengeSheet.h"
#include "DurationFormat.h"
#include "ExitChallenge.h"
#include "IconView.h"
#include "OverlayButton.h"
#include "OverlayStyle.h"
#include "RoundedPanel.h"
#include "Symbols.h"
#include "TextStyles.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QVBoxLayout>

#include <cmath>

using namespace OverlayStyle;

namespace {

// The largest whole number of seconds the countdown shows; beyond it the
// value is held there rather than overflowing.

// One row of allowed-application badges, centred, never wrapping: a row wider
// than the view overflows evenly on both sides, as a centred line would.
class BadgeRow : public QWidget
{
public:
    BadgeRow(const QStringList &ids, const AppCatalogue *catalogue, QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("allowedAppsRow"));
        for (const QString &id : ids)
            m_badges.append(new AllowedAppBadge(id, catalogue, this));
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    }

    QSize sizeHint() const override
    {
        int width = 0;
        int height = 0;
        for (const auto *badge : m_badges) {
            width += badge->sizeHint().width();
            height = std::max(height, badge->sizeHint().height());
        }
        width += kAllowedRowSpacing * int(std::max<qsizetype>(0, m_badges.size() - 1));
        return {width, height};
    }
    QSize minimumSizeHint() const override { return {0, sizeHint().height()}; }

protected:
    void resizeEvent(QResizeEvent *) override
    {
        const QSize total = sizeHint();
        int x = (width() - total.width()) / 2;
        for (auto *badge : m_badges) {
            const QSize s = badge->sizeHint();
            badge->setGeometry(x, (height() - s.height()) / 2, s.width(), s.height());
            x += s.width() + kAllowedRowSpacing;
        }
    }

private:
    QList<AllowedAppBadge *> m_badges;
};

// The focus screen's name on one line, elided at the view's width. Only the
// first characters of a name are ever laid out, so that a name of megabytes
// costs no more than one that fits.
class ScreenNameLabel : public QLabel
{
public:
    static constexpr qsizetype kLaidOutChars = 512;

    ScreenNameLabel(const QString &name, QWidget *parent)
        : QLabel(parent), m_name(name.left(kLaidOutChars).replace(QLatin1Char('\n'), QLatin1Char(' ')))
    {
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    }

    QSize sizeHint() const override { return {0, fontMetrics().height()}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QLabel::resizeEvent(event);
        const QString shown = fontMetrics().elidedText(m_name, Qt::ElideRight, width());
        if (shown != text())
            setText(shown);
    }

private:
    QString m_name;
};

QLabel *makeLabel(const QString &text, const QFont &font, const QColor &color, QWidget *parent,
                  const char *name)
{
    auto *label = TextStyles::plainLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    setTextColor(label, color);
    return label;
}

} // namespace

FocusOverlayView::FocusOverlayView(const FocusOverlayContent &content, QWidget *parent,
                                   const AppCatalogue *catalogue)
    : QWidget(parent), m_content(content), m_catalogue(catalogue), m_accent(defaultAccent())
{
    setObjectName(QStringLiteral("focusOverlayView"));
    // Every background but an opaque colour or image lets the desktop through.
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    // The view itself takes the focus when its window is activated, so that
    // no exit button is focused (and pressed by Space) without Tab.
    setFocusPolicy(Qt::StrongFocus);

    m_challenge = new ExitChallenge(content.strictModeEnabled, content.strictModeType,
                                    content.strictModeSentence, content.strictModeAnswer, this);

    m_column = new QWidget(this);
    m_column->setObjectName(QStringLiteral("overlayColumn"));
    auto *column = new QVBoxLayout(m_column);
    column->setSpacing(kColumnSpacing);
    column->setContentsMargins(kColumnMargin, kColumnMargin, kColumnMargin, kColumnMargin);
    column->addStretch(1);
    column->addWidget(buildHeader());
    column->addWidget(buildCountdownCard(), 0, Qt::AlignHCenter);
    if (!content.allowedApps.isEmpty())
        column->addWidget(buildAllowedApps());
    column->addStretch(1);
    column->addWidget(buildExitSection(), 0, Qt::AlignHCenter);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_column);
    // The view fills its display whatever its content asks for.
    outer->setSizeConstraint(QLayout::SetNoConstraint);

    m_scrim = new RoundedPanel(0, QColor::fromRgbF(0, 0, 0, float(kSheetScrimOpacity)), this);
    m_scrim->setObjectName(QStringLiteral("sheetScrim"));
    m_scrim->hide();
    if (m_challenge->isInForce()) {
        m_sheet = new ChallengeSheet(m_challenge, m_accent, this);
        m_sheet->hide();
    }

    // The exit button moves with every parent of it that the layout places.
    for (QWidget *w = m_exitButton; w && w != this; w = w->parentWidget())
        w->installEventFilter(this);
    for (QWidget *button : std::as_const(m_controlButtons))
        button->installEventFilter(this);
    if (m_sheet)
        m_sheet->installEventFilter(this);

    connect(m_challenge, &ExitChallenge::challengeStateChanged, this, &FocusOverlayView::syncChallenge);
    connect(m_challenge, &ExitChallenge::exitRequested, this, [this] {
        Q_EMIT challengePassed();
        requestEmergencyExit();
    });
    syncChallenge();
}

FocusOverlayView::~FocusOverlayView() = default;

QWidget *FocusOverlayView::buildHeader()
{
    auto *header = new QWidget(m_column);
    header->setObjectName(QStringLiteral("overlayHeader"));
    auto *layout = new QVBoxLayout(header);
    layout->setSpacing(kHeaderSpacing);
    layout->setContentsMargins(0, 0, 0, 0);

    m_modeIcon = IconView::symbol(icon(m_content.lockMode), m_accent, kModeIconSize, header);
    m_modeIcon->setObjectName(QStringLiteral("lockModeIcon"));
    layout->addWidget(m_modeIcon, 0, Qt::AlignHCenter);

    auto *name = new ScreenNameLabel(m_content.screenName, header);
    name->setObjectName(QStringLiteral("screenName"));
    name->setTextFormat(Qt::PlainText);
    name->setFont(textFont(kScreenNameSize, QFont::Bold));
    name->setAlignment(Qt::AlignCenter);
    setTextColor(name, white());
    layout->addWidget(name);

    layout->addWidget(makeLabel(displayName(m_content.lockMode), textFont(kSubheadlineSize), secondaryText(),
                                header, "lockModeName"));
    if (m_content.isBreak) {
        auto *phase = makeLabel(m_content.isLongBreak ? tr("Long Break") : tr("Break"),
                                textFont(kScreenNameSize, QFont::Bold), m_accent, header, "breakTitle");
        layout->addWidget(phase);
    }
    if (m_content.rounds > 1) {
        const QString text = m_content.isBreak
                                 //: After which round of how many the break comes.
                                 ? tr("Round %1 of %2 done").arg(m_content.round).arg(m_content.rounds)
                                 : tr("Round %1 of %2").arg(m_content.round).arg(m_content.rounds);
        layout->addWidget(makeLabel(text, textFont(kSubheadlineSize), secondaryText(), header, "roundText"));
    }

    if (m_challenge->isInForce()) {
        const StrictModeType type = m_content.strictModeType;
        auto *badge = new RoundedPanel(
            RoundedPanel::kCapsule,
            [] {
                QColor c = orange();
                c.setAlphaF(float(kStrictBadgeFillOpacity));
                return c;
            }(),
            header);
        badge->setObjectName(QStringLiteral("strictModeBadge"));
        auto *row = new QHBoxLayout(badge);
        row->setSpacing(kStrictBadgeSpacing);
        row->setContentsMargins(kStrictBadgeMarginH, kStrictBadgeMarginV, kStrictBadgeMarginH,
                                kStrictBadgeMarginV);
        const QFont captionFont = textFont(kCaptionSize, QFont::Medium);
        auto *symbol = IconView::symbol(Challenge::badgeSymbol(type), orange(),
                                        QFontMetrics(captionFont).height(), badge);
        symbol->setObjectName(QStringLiteral("strictModeBadgeIcon"));
        row->addWidget(symbol, 0, Qt::AlignVCenter);
        row->addWidget(makeLabel(tr("Strict Mode: %1").arg(Challenge::badgeName(type)), captionFont, orange(),
                                 badge, "strictModeBadgeText"),
                       0, Qt::AlignVCenter);
        badge->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        layout->addWidget(badge, 0, Qt::AlignHCenter);
    }
    return header;
}

QWidget *FocusOverlayView::buildCountdownCard()
{
    auto *card = new RoundedPanel(kCardRadius, white(kCardFillOpacity), m_column);
    card->setObjectName(QStringLiteral("countdownCard"));
    card->setBorder(white(kCardBorderOpacity), kBorderWidth);
    auto *layout = new QVBoxLayout(card);
    layout->setSpacing(kCardSpacing);
    layout->setContentsMargins(kCardMarginH, kCardMarginV, kCardMarginH, kCardMarginV);

    m_countdown = makeLabel(DurationFormat::countdown(m_content.remainingTime),
                            monospacedFont(kCountdownSize, QFont::DemiBold), white(), card, "countdown");
    // Read as "Time remaining" with the countdown as its value.
    m_countdown->setAccessibleName(tr("Time remaining"));
    Accessible::setRole(m_countdown, QAccessible::StaticText);
    Accessible::setRange(m_countdown, 0, std::max(m_content.duration, m_content.remainingTime), 1);
    Accessible::setValue(m_countdown, m_countdown->text(),
                         std::max(0.0, std::floor(m_content.remainingTime)));
    layout->addWidget(m_countdown);

    QFont captionFont = textFont(kCaptionSize);
    captionFont.setCapitalization(QFont::AllUppercase);
    captionFont.setLetterSpacing(QFont::AbsoluteSpacing, kCaptionTracking);
    layout->addWidget(makeLabel(tr("Time Remaining"), captionFont, tertiaryText(), card, "countdownCaption"));
    card->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return card;
}

QWidget *FocusOverlayView::buildAllowedApps()
{
    auto *block = new QWidget(m_column);
    block->setObjectName(QStringLiteral("allowedApps"));
    auto *layout = new QVBoxLayout(block);
    layout->setSpacing(kAllowedSpacing);
    layout->setContentsMargins(0, kAllowedTopMargin, 0, 0);
    layout->addWidget(makeLabel(tr("Allowed Applications"), textFont(kCaptionSize), secondaryText(), block,
                                "allowedAppsTitle"));
    layout->addWidget(new BadgeRow(m_content.allowedApps, m_catalogue, block));
    return block;
}

QWidget *FocusOverlayView::buildExitSection()
{
    auto *section = new QWidget(m_column);
    section->setObjectName(QStringLiteral("exitSection"));
    auto *layout = new QVBoxLayout(section);
    layout->setContentsMargins(0, 0, 0, kExitBottomMargin);

    QWidget *skip = nullptr;
    if (m_content.isBreak) {
        const OverlayButton::Look plain{white(), kEmergencyIconSpacing, kEmergencyMarginH, kEmergencyMarginV};
        skip = new OverlayButton(QStringLiteral("timer"), tr("Skip Break"), plain, section);
        skip->setObjectName(QStringLiteral("skipBreakButton"));
        connect(static_cast<QAbstractButton *>(skip), &QAbstractButton::clicked, this, [this] {
            QMetaObject::invokeMethod(
                this, [this] { Q_EMIT skipBreakRequested(); }, Qt::QueuedConnection);
        });
        m_controlButtons.append(skip);
    }

    if (!m_challenge->isInForce()) {
        layout->setSpacing(kExitSpacing);
        // A session without a challenge can be ended or lengthened at once.
        auto *controls = new QWidget(section);
        controls->setObjectName(QStringLiteral("sessionControls"));
        auto *row = new QHBoxLayout(controls);
        row->setContentsMargins(0, 0, 0, kExitSpacing);
        row->setSpacing(kExitSpacing);
        const OverlayButton::Look plain{white(), kEmergencyIconSpacing, kEmergencyMarginH, kEmergencyMarginV};
        //: Adds five minutes to the running session.
        auto *extend = new OverlayButton(QStringLiteral("plus"), tr("+5 min"), plain, controls);
        extend->setObjectName(QStringLiteral("extendButton"));
        connect(extend, &QAbstractButton::clicked, this, [this] {
            QMetaObject::invokeMethod(
                this, [this] { Q_EMIT extendRequested(kQuickExtendMinutes); }, Qt::QueuedConnection);
        });
        auto *end = new OverlayButton(QStringLiteral("checkmark.circle"), tr("End Session"), plain, controls);
        end->setObjectName(QStringLiteral("endSessionButton"));
        connect(end, &QAbstractButton::clicked, this, [this] {
            QMetaObject::invokeMethod(
                this, [this] { Q_EMIT endSessionRequested(); }, Qt::QueuedConnection);
        });
        // A break is skipped rather than lengthened.
        if (skip) {
            extend->hide();
            row->addWidget(skip);
        } else {
            row->addWidget(extend);
        }
        row->addWidget(end);
        layout->addWidget(controls, 0, Qt::AlignHCenter);
        m_controlButtons.append(extend);
        m_controlButtons.append(end);
        auto *button =
            new OverlayButton(QStringLiteral("exclamationmark.triangle"), tr("Emergency Exit"),
                              {red(), kEmergencyIconSpacing, kEmergencyMarginH, kEmergencyMarginV}, section);
        button->setObjectName(QStringLiteral("emergencyExitButton"));
        connect(button, &QAbstractButton::clicked, this, &FocusOverlayView::requestEmergencyExit);
        layout->addWidget(button, 0, Qt::AlignHCenter);
        layout->addWidget(makeLabel(tr("Press Esc 3 times for rapid exit"), textFont(kCaption2Size),
                                    secondaryText(), section, "exitHint"));
        m_exitButton = button;
        return section;
    }

    layout->setSpacing(kChallengeExitSpacing);
    if (skip)
        layout->addWidget(skip, 0, Qt::AlignHCenter);
    auto *button =
        new OverlayButton(QStringLiteral("lock.rotation"), tr("Exit Challenge"),
                          {orange(), kChallengeIconSpacing, kChallengeMarginH, kChallengeMarginV}, section);
    button->setObjectName(QStringLiteral("exitChallengeButton"));
    connect(button, &QAbstractButton::clicked, m_challenge, &ExitChallenge::openChallenge);
    layout->addWidget(button, 0, Qt::AlignHCenter);
    m_challengeCaption = makeLabel(QString(), textFont(kCaption2Size), secondaryText(), section, "exitHint");
    layout->addWidget(m_challengeCaption);
    m_quitNotice = makeLabel(QString(), textFont(kCaption2Size), orange(), section, "quitNotice");
    m_quitNotice->hide();
    layout->addWidget(m_quitNotice);
    m_exitButton = button;
    return section;
}

QRegion FocusOverlayView::interactiveRegion() const
{
    QRegion region;
    if (m_exitButton && m_exitButton->isVisibleTo(this))
        region += QRect(m_exitButton->mapTo(this, QPoint(0, 0)), m_exitButton->size());
    for (const QWidget *button : m_controlButtons)
        if (button->isVisibleTo(this))
            region += QRect(button->mapTo(this, QPoint(0, 0)), button->size());
    if (m_sheet && m_sheet->isVisibleTo(this))
        region += m_sheet->geometry();
    return region;
}

bool FocusOverlayView::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        Q_EMIT interactiveRegionChanged();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void FocusOverlayView::setRemainingTime(double remainingTime)
{
    m_content.remainingTime = remainingTime;
    const QString text = DurationFormat::countdown(remainingTime);
    if (m_countdown->text() != text) {
        m_countdown->setText(text);
        Accessible::setValue(m_countdown, text, std::max(0.0, std::floor(remainingTime)));
    }
}

void FocusOverlayView::setScreenGrab(const QImage &grab)
{
    m_blurredGrab = OverlayBackground::blurred(grab);
    m_backgroundStale = true;
    update();
}

void FocusOverlayView::setAccentColor(const QColor &accent)
{
    if (!accent.isValid() || accent == m_accent)
        return;
    m_accent = accent;
    m_modeIcon->setIcon(Symbols::icon(m_modeIcon->symbolName(), accent));
    if (m_sheet)
        m_sheet->setAccentColor(accent);
}

void FocusOverlayView::showQuitRefused()
{
    if (!m_quitNotice || !m_challenge->challengeCooldown())
        return;
    m_quitNotice->setText(tr("Lumora quits once the challenge is passed; it can be tried again when the "
                             "countdown above is over"));
    m_quitNotice->show();
}

QString FocusOverlayView::quitNotice() const
{
    return m_quitNotice && m_quitNotice->isVisibleTo(this) ? m_quitNotice->text() : QString();
}

void FocusOverlayView::setOnEmergencyExitRequested(std::function<void()> callback)
{
    m_onEmergencyExitRequested = std::move(callback);
}

OverlayBackground FocusOverlayView::overlayBackground()
{
    const QSize pixelSize = size() * devicePixelRatioF();
    const bool sizeMatters = m_content.overlayBackgroundType == OverlayBackgroundType::image;
    if (m_backgroundStale || (sizeMatters && pixelSize != m_backgroundSize)) {
        m_background = OverlayBackground::make(m_content.overlayBackgroundType,
                                               m_content.overlayBackgroundValue, pixelSize, m_blurredGrab);
        m_backgroundSize = pixelSize;
        m_backgroundStale = false;
    }
    return m_background;
}

void FocusOverlayView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    overlayBackground().paint(p, rect());
}

void FocusOverlayView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_scrim->setGeometry(rect());
    placeSheet();
}

void FocusOverlayView::requestEmergencyExit()
{
    // Delivered from the event loop so that the handler (a modal
    // confirmation, or taking the overlay down) never runs inside the click
    // or key press that asked for it.
    QMetaObject::invokeMethod(
        this,
        [this] {
            QPointer<FocusOverlayView> self(this);
            if (m_onEmergencyExitRequested)
                m_onEmergencyExitRequested();
            if (self)
                Q_EMIT emergencyExitRequested();
        },
        Qt::QueuedConnection);
}

void FocusOverlayView::syncChallenge()
{
    if (!m_challenge->isInForce())
        return;
    m_exitButton->setEnabled(!m_challenge->challengeCooldown());
    if (!m_challenge->challengeCooldown())
        m_quitNotice->hide();
    m_challengeCaption->setText(
        Challenge::cooldownCaption(m_challenge->challengeCooldown(), m_challenge->cooldownRemaining()));

    const bool open = m_challenge->showChallenge();
    const bool opening = open && m_sheet->isHidden();
    m_sheet->refresh();
    m_column->setEnabled(!open); // nothing behind the sheet takes focus or clicks
    m_scrim->setVisible(open);
    m_sheet->setVisible(open);
    if (open) {
        m_scrim->raise();
        m_sheet->raise();
        placeSheet();
        if (opening)
            m_sheet->focusField();
    }
}

void FocusOverlayView::placeSheet()
{
    if (!m_sheet)
        return;
    const int h = m_sheet->heightForWidth(kSheetWidth) > 0 ? m_sheet->heightForWidth(kSheetWidth)
                                                           : m_sheet->sizeHint().height();
    m_sheet->setGeometry((width() - kSheetWidth) / 2, (height() - h) / 2, kSheetWidth, h);
}
