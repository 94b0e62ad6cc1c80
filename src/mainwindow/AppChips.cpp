// SPDX-License-Identifier: MIT
#include "AppChips.h"

#include "AppCatalogue.h"
#include "FlowLayout.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QToolButton>

namespace {

constexpr int kChipPadding = 4;
constexpr int kChipSpacing = 4;
constexpr qreal kChipRadius = 6;

// One application: icon, name, remove button, on a rounded background.
class Chip : public QWidget
{
public:
    Chip(const QIcon &icon, const QString &name, const QString &id, QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("appChip"));
        setToolTip(id);
        setAccessibleName(name);
        setAccessibleDescription(id);
        auto *row = new QHBoxLayout(this);
        row->setContentsMargins(kChipPadding * 2, kChipPadding / 2, kChipPadding / 2, kChipPadding / 2);
        row->setSpacing(kChipSpacing);
        auto *picture = new QLabel(this);
        picture->setObjectName(QStringLiteral("appChipIcon"));
        if (!icon.isNull())
            picture->setPixmap(icon.pixmap(AppChips::kIconSize, AppChips::kIconSize));
        picture->setFixedSize(AppChips::kIconSize, AppChips::kIconSize);
        row->addWidget(picture);
        auto *label = new QLabel(name, this);
        label->setObjectName(QStringLiteral("appChipName"));
        // Names come from files anyone can write: shown as text, never markup.
        label->setTextFormat(Qt::PlainText);
        row->addWidget(label);
        remove = new QToolButton(this);
        remove->setObjectName(QStringLiteral("appChipRemove"));
        remove->setText(QStringLiteral("×"));
        remove->setAutoRaise(true);
        remove->setAccessibleName(AppChips::tr("Remove %1").arg(name));
        remove->setToolTip(remove->accessibleName());
        row->addWidget(remove);
    }

    QToolButton *remove;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(palette().color(QPalette::Mid), 1));
        p.setBrush(palette().color(QPalette::Base));
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kChipRadius, kChipRadius);
    }
};

} // namespace

AppChips::AppChips(const AppCatalogue *catalogue, QWidget *parent)
    : QWidget(parent), m_catalogue(catalogue), m_flow(new FlowLayout(this, kSpacing))
{
    setObjectName(QStringLiteral("appChips"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
}

void AppChips::setList(const QStringList &list)
{
    if (m_built && list == m_list)
        return;
    m_list = list;
    rebuild();
}

QList<QWidget *> AppChips::chips() const
{
    QList<QWidget *> out;
    for (int i = 0; i < m_flow->count(); ++i)
        if (QWidget *w = m_flow->itemAt(i)->widget())
            out.append(w);
    return out;
}

void AppChips::rebuild()
{
    m_built = true;
    while (QLayoutItem *item = m_flow->takeAt(0)) {
        if (QWidget *w = item->widget()) {
            w->hide();
            w->deleteLater();
        }
        delete item;
    }
    for (qsizetype i = 0; m_catalogue && i < m_list.size(); ++i) {
        const std::optional<DesktopEntry> entry = m_catalogue->findByIdentity(m_list.at(i));
        if (!entry)
            continue;
        const QString name = entry->name.isEmpty() ? m_list.at(i) : entry->name;
        auto *chip = new Chip(m_catalogue->icon(*entry), name, m_list.at(i), this);
        connect(chip->remove, &QToolButton::clicked, this, [this, i] {
            if (i >= m_list.size())
                return;
            QStringList rest = m_list;
            rest.removeAt(i);
            setList(rest);
            Q_EMIT listEdited(rest);
        });
        m_flow->addWidget(chip);
    }
    setVisible(!chips().isEmpty());
    updateGeometry();
}
