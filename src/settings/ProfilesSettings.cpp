// SPDX-License-Identifier: MIT
#include "ProfilesSettings.h"

#include "AppLockProfile.h"
#include "AppModel.h"
#include "DisplayText.h"
#include "EmptyStatePanel.h"
#include "ModelContext.h"
#include "NewProfileSheet.h"
#include "SettingsStyle.h"
#include "Symbols.h"
#include "TextStyles.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kSummaryRole = Qt::UserRole + 1;
constexpr int kSummaryMargin = 8;

FetchDescriptor<AppLockProfile> newestFirst()
{
    FetchDescriptor<AppLockProfile> d;
    d.sortBy = {SortDescriptor<AppLockProfile>::by(&AppLockProfile::createdAt, SortOrder::reverse)};
    return d;
}

// A row: the mode's symbol and the name on the left, the summary in the
// caption size and secondary colour on the right.
class ProfileRowDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QString summary = index.data(kSummaryRole).toString();
        const QFont font = TextStyles::caption(option.font);
        const int summaryWidth = QFontMetrics(font).horizontalAdvance(summary) + 2 * kSummaryMargin;

        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QWidget *widget = option.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        // The row's background across the whole width, then the symbol and
        // the name left of the summary (elided when they would meet).
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);
        opt.rect.setRight(option.rect.right() - summaryWidth);
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

        const bool selected = option.state & QStyle::State_Selected;
        QColor color = option.palette.color(selected ? QPalette::HighlightedText : QPalette::PlaceholderText);
        if (selected)
            color.setAlphaF(0.8);
        painter->save();
        painter->setFont(font);
        painter->setPen(color);
        const QRect area = option.rect.adjusted(option.rect.width() - summaryWidth, 0, -kSummaryMargin, 0);
        painter->drawText(area, Qt::AlignRight | Qt::AlignVCenter, summary);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(size.height(), ProfilesSettings::kRowHeight));
        return size;
    }
};

} // namespace

ProfilesSettings::ProfilesSettings(AppModel *model, QWidget *parent) : QWidget(parent), m_model(model)
{
    setObjectName(QStringLiteral("profilesSettings"));
    m_query = new Query<AppLockProfile>(model->context(), newestFirst(), this);
    connect(m_query, &QueryBase::resultsChanged, this, &ProfilesSettings::sync);

    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(SettingsStyle::kPageMargin, SettingsStyle::kPageMargin,
                             SettingsStyle::kPageMargin, SettingsStyle::kPageMargin);
    auto *section = new QGroupBox(tr("App Lock Profiles"), this);
    auto *rows = new QVBoxLayout(section);

    m_empty = new EmptyStatePanel(tr("No Profiles"), QStringLiteral("lock.shield"),
                                  tr("Create reusable blocking profiles."), section);
    m_empty->setObjectName(QStringLiteral("noProfiles"));
    rows->addWidget(m_empty);

    m_list = new QListWidget(section);
    m_list->setObjectName(QStringLiteral("profileList"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setItemDelegate(new ProfileRowDelegate(m_list));
    m_list->setUniformItemSizes(true);
    m_list->setIconSize(QSize(kIconSize, kIconSize));
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->setAccessibleName(tr("App Lock Profiles"));
    m_list->installEventFilter(this);
    connect(m_list, &QWidget::customContextMenuRequested, this, &ProfilesSettings::showRowMenu);
    rows->addWidget(m_list);

    m_newProfile = new QPushButton(tr("New Profile..."), section);
    m_newProfile->setObjectName(QStringLiteral("newProfile"));
    m_newProfile->setAutoDefault(false);
    connect(m_newProfile, &QPushButton::clicked, this, [this] { setSheetShowing(true); });
    rows->addWidget(m_newProfile, 0, Qt::AlignLeft);

    page->addWidget(section);
    page->addStretch(1);
    sync();
}

QString ProfilesSettings::summary(const AppLockProfile &profile)
{
    return tr("%1 apps, %2 sites").arg(profile.blockedApps().size()).arg(profile.blockedWebsites().size());
}

QList<AppLockProfile *> ProfilesSettings::profiles() const
{
    return m_shown;
}

bool ProfilesSettings::isEmptyStateShown() const
{
    return !m_empty->isHidden();
}

void ProfilesSettings::sync()
{
    m_shown = m_query->results();
    m_list->clear();
    for (AppLockProfile *profile : std::as_const(m_shown)) {
        auto *item = new QListWidgetItem(Symbols::icon(icon(profile->mode())),
                                         DisplayText::capped(profile->name()), m_list);
        item->setData(kSummaryRole, summary(*profile));
        item->setToolTip(DisplayText::asRichText(profile->name()));
    }
    const bool empty = m_shown.isEmpty();
    m_empty->setVisible(empty);
    m_list->setVisible(!empty);
    const int visibleRows = std::min<int>(int(m_shown.size()), kListVisibleRows);
    const int frame = 2 * m_list->frameWidth();
    m_list->setFixedHeight(std::max(kListMinimumHeight, visibleRows * kRowHeight + frame));
}

void ProfilesSettings::setSheetShowing(bool showing)
{
    if (showing == m_sheetShowing)
        return;
    m_sheetShowing = showing;
    if (showing) {
        m_sheet = new NewProfileSheet(m_model, window());
        connect(m_sheet, &NewProfileSheet::dismissed, this, [this] { setSheetShowing(false); });
        m_sheet->present();
    } else if (m_sheet) {
        NewProfileSheet *sheet = m_sheet;
        m_sheet = nullptr;
        sheet->hide();
        sheet->deleteLater();
    }
}

void ProfilesSettings::deleteRows(const QList<int> &rows)
{
    if (!m_model || rows.isEmpty())
        return;
    ModelContext *context = m_model->context();
    const QList<AppLockProfile *> shown = m_shown;
    bool removed = false;
    for (const int row : rows) {
        if (row < 0 || row >= shown.size())
            continue;
        context->remove(shown[row]);
        removed = true;
    }
    if (removed)
        context->save(); // a failed save keeps the deletions pending
}

void ProfilesSettings::deleteSelectedRows()
{
    QList<int> rows;
    for (const QModelIndex &index : m_list->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    deleteRows(rows);
}

bool ProfilesSettings::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Delete) || key->key() == Qt::Key_Backspace) {
            deleteSelectedRows();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ProfilesSettings::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (m_sheet)
        m_sheet->cancel();
}

void ProfilesSettings::showRowMenu(const QPoint &pos)
{
    if (const QModelIndex index = m_list->indexAt(pos);
        index.isValid() && !m_list->selectionModel()->isSelected(index))
        m_list->setCurrentIndex(index);
    if (m_list->selectionModel()->selectedRows().isEmpty())
        return;
    QMenu menu(this);
    QAction *remove = menu.addAction(tr("Delete"));
    if (menu.exec(m_list->viewport()->mapToGlobal(pos)) == remove)
        deleteSelectedRows();
}
