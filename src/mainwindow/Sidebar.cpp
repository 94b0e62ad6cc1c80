// SPDX-License-Identifier: MIT
#include "Sidebar.h"

#include "AppModel.h"
#include "RowDelegate.h"
#include "Symbols.h"

#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int kIconToText = 8;

// Sidebar rows: a rounded selection like the other lists, symbol then label.
class SidebarRow : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        return {option.rect.width(), Sidebar::kRowHeight};
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        if (selected) {
            QPainterPath path;
            path.addRoundedRect(
                QRectF(option.rect)
                    .adjusted(RowDelegate::kSelectionInset, 1, -RowDelegate::kSelectionInset, -1),
                RowDelegate::kSelectionRadius, RowDelegate::kSelectionRadius);
            painter->fillPath(path, option.palette.color(QPalette::Highlight));
        }
        RowDelegate::paintFocusRing(*painter, option);
        const QColor text = option.palette.color(selected ? QPalette::HighlightedText : QPalette::WindowText);
        const QColor symbol = selected ? text : option.palette.color(QPalette::Highlight);
        const int left = option.rect.left() + RowDelegate::contentLeft() - 4;
        const int side = Sidebar::kIconSize;
        const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(left, option.rect.center().y() - side / 2 + 1,
                            Symbols::pixmap(index.data(Qt::UserRole + 1).toString(), side, symbol, dpr));
        painter->setPen(text);
        painter->setFont(option.font);
        const QRect textRect = option.rect.adjusted(left - option.rect.left() + side + kIconToText, 0, -8, 0);
        painter->drawText(
            textRect, Qt::AlignLeft | Qt::AlignVCenter,
            option.fontMetrics.elidedText(index.data().toString(), Qt::ElideRight, textRect.width()));
        painter->restore();
    }
};
} // namespace

Sidebar::Sidebar(AppModel *model, QWidget *parent) : QListWidget(parent), m_model(model)
{
    setObjectName(QStringLiteral("sidebar"));
    setAccessibleName(tr("Pages"));
    setFrameShape(QFrame::NoFrame);
    setBackgroundRole(QPalette::Window);
    viewport()->setBackgroundRole(QPalette::Window);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setViewportMargins(0, kTopMargin, 0, 0);
    setItemDelegate(new SidebarRow(this));
    setUniformItemSizes(true);

    for (SidebarItem page : allCases<SidebarItem>()) {
        auto *item = new QListWidgetItem(displayName(page), this);
        item->setData(Qt::UserRole, int(page));
        item->setData(Qt::UserRole + 1, icon(page));
        item->setIcon(Symbols::icon(icon(page)));
    }

    connect(this, &QListWidget::itemSelectionChanged, this, &Sidebar::viewSelectionChanged);
    if (model)
        connect(model, &AppModel::sidebarChanged, this, &Sidebar::syncFromModel);
    syncFromModel();
}

QListWidgetItem *Sidebar::itemFor(int sidebarItem) const
{
    for (int row = 0; row < count(); ++row)
        if (item(row)->data(Qt::UserRole).toInt() == sidebarItem)
            return item(row);
    return nullptr;
}

void Sidebar::syncFromModel()
{
    if (!m_model)
        return;
    m_syncing = true;
    const std::optional<SidebarItem> page = m_model->sidebar();
    if (QListWidgetItem *row = page ? itemFor(int(*page)) : nullptr)
        setCurrentItem(row, QItemSelectionModel::ClearAndSelect);
    else
        selectionModel()->clear();
    m_syncing = false;
}

void Sidebar::viewSelectionChanged()
{
    if (m_syncing || !m_model)
        return;
    const QList<QListWidgetItem *> selected = selectedItems();
    if (selected.isEmpty())
        m_model->setSidebar(std::nullopt);
    else
        m_model->setSidebar(SidebarItem(selected.first()->data(Qt::UserRole).toInt()));
}
