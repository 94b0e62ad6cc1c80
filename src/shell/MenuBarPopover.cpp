// SPDX-License-Identifier: MIT
#include "MenuBarPopover.h"

#include "Accessible.h"
#include "AppModel.h"
#include "DisplayText.h"
#include "DurationFormat.h"
#include "FocusScreen.h"
#include "LockModeBadge.h"
#include "ModelContext.h"
#include "Query.h"
#include "StatusText.h"
#include "Symbols.h"
#include "TextStyles.h"
#include "ThemeStore.h"
#include "Themed.h"

#include <QApplication>
#include <QCursor>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

namespace {

QLabel *symbolLabel(const QString &symbol, int size, const QColor &color, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setPixmap(Symbols::pixmap(symbol, size, color, parent->devicePixelRatioF()));
    label->setFixedSize(size, size);
    // Each symbol stands beside the words that say the same.
    Accessible::setDecorative(label);
    return label;
}

QFrame *divider(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setFixedHeight(1);
    QPalette pal = line->palette();
    pal.setColor(QPalette::WindowText, pal.color(QPalette::Mid));
    line->setPalette(pal);
    return line;
}

// One line of text that gives up width to its neighbours and elides.
class ElidedLabel : public QLabel
{
public:
    ElidedLabel(const QString &text, QWidget *parent) : QLabel(parent), m_full(DisplayText::capped(text))
    {
        TextStyles::makePlain(this);
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        setToolTip(DisplayText::asRichText(m_full));
        setText(m_full);
    }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QLabel::resizeEvent(event);
        setText(fontMetrics().elidedText(m_full, Qt::ElideRight, width()));
    }

private:
    QString m_full;
};

// A bar with the lightly tinted background of the header and footer.
class Bar : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        QColor c = palette().color(QPalette::Window);
        c = c.lightness() > 128 ? c.darker(104) : c.lighter(115);
        p.fillRect(rect(), c);
    }
};

} // namespace

FocusScreenPopoverRow::FocusScreenPopoverRow(FocusScreen *screen, ThemeStore *themes,
                                             std::function<void()> onStart, QWidget *parent)
    : QWidget(parent), m_screen(screen), m_onStart(std::move(onStart))
{
    setObjectName(QStringLiteral("FocusScreenPopoverRow"));
    Accessible::setRole(this, QAccessible::ListItem);
    //: a focus screen in the tray popover: name, length, lock mode
    setAccessibleName(tr("%1, %2, %3")
                          .arg(screen->name(), DurationFormat::spokenLength(screen->duration()),
                               displayName(screen->lockMode())));
    if (screen->autoStartOnLogin())
        setAccessibleDescription(tr("Starts at login"));
    auto *row = new QHBoxLayout(this);
    row->setSpacing(kSpacing);
    row->setContentsMargins(kHorizontalMargin, kVerticalMargin, kHorizontalMargin, kVerticalMargin);

    auto *text = new QVBoxLayout;
    text->setSpacing(kTextSpacing);
    auto *name = new ElidedLabel(screen->name(), this);
    name->setObjectName(QStringLiteral("name"));
    QFont nameFont = font();
    nameFont.setPixelSize(kNamePointSize);
    nameFont.setWeight(QFont::Medium);
    name->setFont(nameFont);
    text->addWidget(name);

    auto *details = new QHBoxLayout;
    details->setSpacing(kDetailSpacing);
    auto *duration = TextStyles::plainLabel(DurationFormat::compactLength(screen->duration()), this);
    duration->setObjectName(QStringLiteral("duration"));
    duration->setFont(TextStyles::caption(font()));
    QPalette pal = duration->palette();
    pal.setColor(QPalette::WindowText, TextStyles::secondary(palette()));
    duration->setPalette(pal);
    details->addWidget(duration);
    details->addWidget(new LockModeBadge(screen->lockMode(), themes, this));
    if (screen->autoStartOnLogin()) {
        const QColor green(52, 199, 89);
        auto *autoBox = new QHBoxLayout;
        autoBox->setSpacing(2);
        QFont small = TextStyles::caption(TextStyles::caption(font()));
        const int symbolSize = QFontMetrics(small).height();
        autoBox->addWidget(symbolLabel(QStringLiteral("power.circle.fill"), symbolSize, green, this));
        auto *autoLabel = TextStyles::plainLabel(tr("Auto"), this);
        autoLabel->setObjectName(QStringLiteral("auto"));
        autoLabel->setFont(small);
        QPalette greenPal = autoLabel->palette();
        greenPal.setColor(QPalette::WindowText, green);
        autoLabel->setPalette(greenPal);
        autoBox->addWidget(autoLabel);
        details->addLayout(autoBox);
    }
    details->addStretch(1);
    text->addLayout(details);
    row->addLayout(text, 1);

    auto *start = new QPushButton(tr("Start"), this);
    start->setObjectName(QStringLiteral("start"));
    start->setDefault(true);
    start->setAccessibleName(tr("Start %1").arg(screen->name()));
    start->setCursor(Qt::PointingHandCursor);
    connect(start, &QPushButton::clicked, this, [this] {
        if (m_onStart)
            m_onStart();
    });
    row->addWidget(start, 0, Qt::AlignVCenter);
}

void FocusScreenPopoverRow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(palette().color(QPalette::Base));
    p.drawRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);
}

MenuBarPopover::MenuBarPopover(AppModel *model, ThemeStore *themes, Actions actions, QWidget *parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint), m_model(model), m_themes(themes),
      m_actions(std::move(actions))
{
    setObjectName(QStringLiteral("MenuBarPopover"));
    setWindowTitle(QStringLiteral("Lumora"));
    setMinimumSize(kWidth, kHeight);
    resize(kWidth, kHeight);
    // Tinted with the chosen accent like the other windows.
    themed(this, themes);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *header = new Bar(this);
    auto *headerRow = new QHBoxLayout(header);
    headerRow->setContentsMargins(kBarHorizontalMargin, kBarVerticalMargin, kBarHorizontalMargin,
                                  kBarVerticalMargin);
    QLabel *headerSymbol = symbolLabel(QStringLiteral("timer"), kHeaderSymbolSize,
                                       LockModeBadge::textColor(themes, palette()), header);
    headerRow->addWidget(headerSymbol);
    if (themes) {
        connect(themes, &ThemeStore::accentChanged, headerSymbol, [this, headerSymbol] {
            headerSymbol->setPixmap(Symbols::pixmap(QStringLiteral("timer"), kHeaderSymbolSize,
                                                    LockModeBadge::textColor(m_themes, palette()),
                                                    devicePixelRatioF()));
        });
    }
    auto *title = TextStyles::plainLabel(QStringLiteral("Lumora"), header);
    title->setFont(TextStyles::headline(font()));
    headerRow->addWidget(title);
    headerRow->addStretch(1);
    layout->addWidget(header);
    layout->addWidget(divider(this));

    m_content = new QWidget(this);
    auto *contentLayout = new QVBoxLayout(m_content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_content, 1);

    layout->addWidget(divider(this));
    auto *footer = new Bar(this);
    auto *footerColumn = new QVBoxLayout(footer);
    footerColumn->setSpacing(kFooterSpacing);
    footerColumn->setContentsMargins(kBarHorizontalMargin, kBarVerticalMargin, kBarHorizontalMargin,
                                     kBarVerticalMargin);
    auto *open = new QPushButton(tr("Open Lumora..."), footer);
    open->setObjectName(QStringLiteral("open"));
    auto *quit = new QPushButton(tr("Quit Lumora"), footer);
    quit->setObjectName(QStringLiteral("quit"));
    for (QPushButton *b : {open, quit}) {
        b->setFlat(true);
        b->setStyleSheet(QStringLiteral("text-align: left; padding: 2px 4px;"));
        footerColumn->addWidget(b);
    }
    QPalette quitPal = quit->palette();
    quitPal.setColor(QPalette::ButtonText, QColor(255, 59, 48));
    quit->setPalette(quitPal);
    connect(open, &QPushButton::clicked, this, [this] {
        if (m_actions.open)
            m_actions.open();
    });
    connect(quit, &QPushButton::clicked, this, [this] {
        if (m_actions.quit)
            m_actions.quit();
    });
    layout->addWidget(footer);
    // The list is built each time the popover opens (showAt), not before.
}

MenuBarPopover::~MenuBarPopover() = default;

void MenuBarPopover::rebuild()
{
    if (m_listPage) {
        m_listPage->hide();
        m_listPage->deleteLater();
        m_listPage = nullptr;
        m_listLayout = nullptr;
    }
    if (m_emptyPage) {
        m_emptyPage->hide();
        m_emptyPage->deleteLater();
        m_emptyPage = nullptr;
    }
    m_query.reset();
    if (!m_model)
        return;
    FetchDescriptor<FocusScreen> d;
    d.sortBy = {SortDescriptor<FocusScreen>::by(&FocusScreen::sortOrder),
                SortDescriptor<FocusScreen>::by(&FocusScreen::createdAt)};
    m_query = std::make_unique<Query<FocusScreen>>(m_model->context(), d);
    connect(m_query.get(), &QueryBase::resultsChanged, this, &MenuBarPopover::fillList);
    fillList();
}

void MenuBarPopover::fillList()
{
    auto *contentLayout = static_cast<QVBoxLayout *>(m_content->layout());
    const QList<FocusScreen *> screens = m_query ? m_query->results() : QList<FocusScreen *>();
    if (screens.isEmpty()) {
        if (m_listPage) {
            m_listPage->hide();
            m_listPage->deleteLater();
            m_listPage = nullptr;
            m_listLayout = nullptr;
        }
        if (m_emptyPage)
            return;
        m_emptyPage = new QWidget(m_content);
        auto *column = new QVBoxLayout(m_emptyPage);
        column->setSpacing(kEmptySpacing);
        column->setContentsMargins(kEmptyMargin, kEmptyMargin, kEmptyMargin, kEmptyMargin);
        column->addStretch(1);
        column->addWidget(symbolLabel(QStringLiteral("timer.slash"), kEmptySymbolSize,
                                      TextStyles::secondary(palette()), m_emptyPage),
                          0, Qt::AlignHCenter);
        auto *title = TextStyles::plainLabel(tr("No Focus Screens"), m_emptyPage);
        title->setFont(TextStyles::headline(font()));
        title->setAlignment(Qt::AlignCenter);
        column->addWidget(title);
        auto *caption =
            TextStyles::plainLabel(tr("Create one in the main window to get started."), m_emptyPage);
        caption->setFont(TextStyles::caption(font()));
        caption->setAlignment(Qt::AlignCenter);
        caption->setWordWrap(true);
        caption->setContentsMargins(kEmptyMargin, 0, kEmptyMargin, 0);
        QPalette pal = caption->palette();
        pal.setColor(QPalette::WindowText, TextStyles::secondary(palette()));
        caption->setPalette(pal);
        column->addWidget(caption);
        auto *open = new QPushButton(tr("Open Lumora..."), m_emptyPage);
        open->setObjectName(QStringLiteral("emptyOpen"));
        open->setDefault(true);
        connect(open, &QPushButton::clicked, this, [this] {
            if (m_actions.open)
                m_actions.open();
        });
        column->addWidget(open, 0, Qt::AlignHCenter);
        column->addStretch(1);
        contentLayout->addWidget(m_emptyPage);
        m_emptyPage->show();
        if (isVisible())
            fitToScreen();
        return;
    }

    if (m_emptyPage) {
        m_emptyPage->hide();
        m_emptyPage->deleteLater();
        m_emptyPage = nullptr;
    }
    if (!m_listPage) {
        auto *scroll = new QScrollArea(m_content);
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidgetResizable(true);
        scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        auto *inner = new QWidget(scroll);
        m_listLayout = new QVBoxLayout(inner);
        m_listLayout->setSpacing(kListSpacing);
        m_listLayout->setContentsMargins(kListMargin, kListMargin, kListMargin, kListMargin);
        scroll->setWidget(inner);
        m_listPage = scroll;
        contentLayout->addWidget(m_listPage);
        m_listPage->show();
    }
    while (QLayoutItem *item = m_listLayout->takeAt(0)) {
        if (QWidget *w = item->widget())
            w->deleteLater();
        delete item;
    }
    for (FocusScreen *screen : screens) {
        QPointer<MenuBarPopover> self(this);
        auto *row = new FocusScreenPopoverRow(screen, m_themes, [self, screen] {
            if (self && self->m_actions.start)
                self->m_actions.start(screen);
        });
        m_listLayout->addWidget(row);
        // Shown now (with the popover), so that it counts when the popover
        // measures its content.
        row->show();
    }
    m_listLayout->addStretch(1);
    if (isVisible())
        fitToScreen();
}

QSize MenuBarPopover::contentSize(const QSize &available) const
{
    // As wide as the header, the footer and each row need; as tall as the
    // header, the footer and the empty state need. A long list scrolls.
    QSize needed = layout()->minimumSize();
    if (const auto *scroll = qobject_cast<const QScrollArea *>(m_listPage); scroll && scroll->widget()) {
        const QWidget *inner = scroll->widget();
        inner->ensurePolished();
        // Room for the scroll bar only when the rows will not fit.
        const int room =
            std::max(needed.height(), kHeight) - (needed.height() - scroll->minimumSizeHint().height());
        const bool scrolls = inner->sizeHint().height() > room;
        const int bar = scrolls ? style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll) : 0;
        needed.setWidth(std::max(needed.width(), inner->minimumSizeHint().width() + bar));
    }
    return needed.expandedTo(QSize(kWidth, kHeight))
        .boundedTo(available)
        .expandedTo(QSize(std::min(kWidth, available.width()), std::min(kHeight, available.height())));
}

void MenuBarPopover::fitToScreen()
{
    QScreen *where = screen() ? screen() : QGuiApplication::primaryScreen();
    const QSize area = where ? where->availableGeometry().size() : QSize(kWidth, kHeight) * 4;
    const QSize wanted = contentSize(area);
    if (size() != wanted)
        resize(wanted);
}

QList<FocusScreenPopoverRow *> MenuBarPopover::rows() const
{
    QList<FocusScreenPopoverRow *> out;
    if (!m_listLayout)
        return out;
    for (int i = 0; i < m_listLayout->count(); ++i)
        if (auto *row = qobject_cast<FocusScreenPopoverRow *>(m_listLayout->itemAt(i)->widget()))
            out.append(row);
    return out;
}

bool MenuBarPopover::isShowingEmptyState() const
{
    return m_emptyPage != nullptr;
}

void MenuBarPopover::showAt(const QRect &anchor)
{
    rebuild();
    const bool atAnchor = anchor.isValid() && !anchor.isEmpty();
    const QPoint cursor = atAnchor ? QPoint() : QCursor::pos();
    QScreen *screen = QGuiApplication::screenAt(atAnchor ? anchor.center() : cursor);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    // Under the icon (above it for a tray at the bottom), or under the
    // pointer, and within the screen.
    const auto place = [&](const QSize &size) {
        QPoint pos = atAnchor ? QPoint(anchor.center().x() - size.width() / 2, anchor.bottom() + 4)
                              : cursor + QPoint(-size.width() / 2, 12);
        if (area.isValid()) {
            if (pos.y() + size.height() > area.bottom() && atAnchor)
                pos.setY(anchor.top() - size.height() - 4);
            pos.setX(
                std::clamp(pos.x(), area.left(), std::max(area.left(), area.right() + 1 - size.width())));
            pos.setY(
                std::clamp(pos.y(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height())));
        }
        setGeometry(QRect(pos, size));
    };
    place(QSize(kWidth, kHeight));
    show();
    // The content is measured once shown (hidden widgets take no room in a
    // layout): a language with longer words widens the popover.
    const QSize size = contentSize(area.isValid() ? area.size() : QSize(kWidth, kHeight) * 4);
    if (size != this->size())
        place(size);
    raise();
    activateWindow();
}

void MenuBarPopover::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    Q_EMIT closed();
}

void MenuBarPopover::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
