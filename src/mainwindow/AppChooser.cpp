// SPDX-License-Identifier: MIT
#include "AppChooser.h"

#include "AppIdentity.h"
#include "DisplayText.h"

#include "CommaListEdit.h"
#include "TextStyles.h"

#include <QAbstractTableModel>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

constexpr int kSpacing = 8;
constexpr int kMargin = 16;
constexpr int kNameColumnWidth = 240;

AppChooser::Responder &responder()
{
    static AppChooser::Responder instance;
    return instance;
}

// Installed applications, name (with icon) and id; icons are looked up when
// a row is first shown.
class EntryModel : public QAbstractTableModel
{
public:
    EntryModel(const AppCatalogue &catalogue, QList<DesktopEntry> entries, const QStringList &present,
               QObject *parent)
        : QAbstractTableModel(parent), m_catalogue(catalogue), m_entries(std::move(entries))
    {
        // Already in the list under any of its names ("XTerm" for debian-xterm).
        const QSet<QString> names = AppIdentity::normalizedSet(present);
        for (const DesktopEntry &entry : std::as_const(m_entries))
            m_present.append(AppIdentity::matchesAny(m_catalogue.identities(entry), names));
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_entries.size());
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : AppChooser::ColumnCount;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        return section == AppChooser::NameColumn ? QCoreApplication::translate("AppChooser", "Name")
                                                 : QCoreApplication::translate("AppChooser", "ID");
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        if (!index.isValid())
            return Qt::NoItemFlags;
        if (m_present.value(index.row()))
            return Qt::NoItemFlags; // already in the list
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_entries.size())
            return {};
        const DesktopEntry &entry = m_entries[index.row()];
        const bool present = m_present.value(index.row());
        switch (role) {
        case Qt::DisplayRole:
            return index.column() == AppChooser::NameColumn ? entry.name : entry.id;
        case Qt::DecorationRole:
            if (index.column() != AppChooser::NameColumn)
                return {};
            if (!m_icons.contains(index.row()))
                m_icons.insert(index.row(), m_catalogue.icon(entry));
            return m_icons.value(index.row());
        case Qt::ToolTipRole:
            return DisplayText::asRichText(
                present ? QCoreApplication::translate("AppChooser", "%1 is already in the list").arg(entry.id)
                        : entry.filePath);
        case Qt::UserRole:
            return entry.id;
        default:
            return {};
        }
    }

private:
    const AppCatalogue &m_catalogue;
    QList<DesktopEntry> m_entries;
    QList<bool> m_present; // per row
    mutable QHash<int, QIcon> m_icons;
};

} // namespace

void AppChooser::setResponder(Responder answer)
{
    responder() = std::move(answer);
}

QPushButton *AppChooser::makeChooseButton(CommaListEdit *field, const AppCatalogue *catalogue)
{
    auto *button = new QPushButton(tr("Choose..."));
    button->setToolTip(tr("Pick installed applications instead of typing their ids"));
    QPointer<CommaListEdit> target(field);
    QObject::connect(button, &QPushButton::clicked, button, [button, target, catalogue] {
        if (!target || !catalogue)
            return;
        // The field stays the source of truth: the picked ids are appended to it.
        target->appendEntries(chooseApplications(*catalogue, button->window(), target->list()));
    });
    return button;
}

QStringList AppChooser::chooseApplications(const AppCatalogue &catalogue, QWidget *parent,
                                           const QStringList &present)
{
    AppChooser chooser(catalogue, catalogue.installedApplications(), present, parent);
    if (responder())
        responder()(chooser);
    else
        chooser.exec();
    return chooser.result() == QDialog::Accepted ? chooser.selectedIds() : QStringList();
}

std::optional<QString> AppChooser::chooseApplication(const AppCatalogue &catalogue, QWidget *parent)
{
    AppChooser chooser(catalogue, catalogue.installedApplications(), {}, parent);
    chooser.setWindowTitle(tr("Choose Application"));
    chooser.setSingleSelection();
    if (responder())
        responder()(chooser);
    else
        chooser.exec();
    const QStringList ids = chooser.result() == QDialog::Accepted ? chooser.selectedIds() : QStringList();
    return ids.isEmpty() ? std::nullopt : std::optional(ids.first());
}

void AppChooser::setSingleSelection()
{
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    if (QPushButton *add = findChild<QPushButton *>(QStringLiteral("addButton")))
        add->setText(tr("Choose"));
    if (QLabel *hint = findChild<QLabel *>(QStringLiteral("chooserHint")))
        hint->setText(tr("Pick the application to open when a session starts."));
}

AppChooser::AppChooser(const AppCatalogue &catalogue, QList<DesktopEntry> entries, const QStringList &present,
                       QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("appChooser"));
    setWindowTitle(tr("Choose Applications"));
    resize(kWidth, kHeight);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->setSpacing(kSpacing);

    auto *hint =
        TextStyles::plainLabel(tr("Pick one or more applications; their ids are added to the list."), this);
    hint->setObjectName(QStringLiteral("chooserHint"));
    hint->setWordWrap(true);
    TextStyles::makeSecondary(hint);
    layout->addWidget(hint);

    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("appFilter"));
    m_filter->setAccessibleName(tr("Search applications"));
    m_filter->setPlaceholderText(tr("Search by name or id"));
    m_filter->setClearButtonEnabled(true);
    layout->addWidget(m_filter);

    m_model = new EntryModel(catalogue, std::move(entries), present, this);
    m_proxy = new QSortFilterProxyModel(this);
    m_proxy->setSourceModel(m_model);
    m_proxy->setFilterKeyColumn(-1);
    m_proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
    connect(m_filter, &QLineEdit::textChanged, m_proxy, &QSortFilterProxyModel::setFilterFixedString);

    m_view = new QTreeView(this);
    m_view->setObjectName(QStringLiteral("appList"));
    m_view->setAccessibleName(tr("Applications"));
    m_view->setModel(m_proxy);
    m_view->setRootIsDecorated(false);
    m_view->setUniformRowHeights(true);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setIconSize(QSize(kIconSize, kIconSize));
    m_view->setColumnWidth(NameColumn, kNameColumnWidth);
    m_view->header()->setStretchLastSection(true);
    layout->addWidget(m_view, 1);

    m_empty = TextStyles::plainLabel(tr("No applications found."), this);
    m_empty->setObjectName(QStringLiteral("appListEmpty"));
    m_empty->setAlignment(Qt::AlignCenter);
    TextStyles::makeSecondary(m_empty);
    m_empty->setVisible(m_model->rowCount() == 0);
    layout->addWidget(m_empty);

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    QPushButton *add = m_buttons->addButton(tr("Add"), QDialogButtonBox::AcceptRole);
    add->setObjectName(QStringLiteral("addButton"));
    add->setDefault(true);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(m_buttons);

    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &AppChooser::updateButtons);
    connect(m_view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.flags().testFlag(Qt::ItemIsSelectable))
            accept();
    });
    updateButtons();
    m_filter->setFocus();
}

QAbstractItemModel *AppChooser::applications() const
{
    return m_model;
}

int AppChooser::selectIds(const QStringList &ids)
{
    int selected = 0;
    QItemSelection selection;
    for (int row = 0; row < m_proxy->rowCount(); ++row) {
        const QModelIndex index = m_proxy->index(row, NameColumn);
        if (ids.contains(index.data(Qt::UserRole).toString()) &&
            index.flags().testFlag(Qt::ItemIsSelectable)) {
            selection.select(index, m_proxy->index(row, IdColumn));
            ++selected;
        }
    }
    m_view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    return selected;
}

QStringList AppChooser::selectedIds() const
{
    QStringList ids;
    for (int row = 0; row < m_proxy->rowCount(); ++row) {
        const QModelIndex index = m_proxy->index(row, NameColumn);
        if (m_view->selectionModel()->isRowSelected(row, QModelIndex()))
            ids << index.data(Qt::UserRole).toString();
    }
    return ids;
}

void AppChooser::updateButtons()
{
    if (QPushButton *add = findChild<QPushButton *>(QStringLiteral("addButton")))
        add->setEnabled(m_view->selectionModel()->hasSelection());
}
