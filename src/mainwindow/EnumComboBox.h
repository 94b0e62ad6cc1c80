// SPDX-License-Identifier: MIT
#pragma once

#include "EnumTable.h"
#include "Symbols.h"

#include <QComboBox>
#include <QStandardItemModel>

// A picker over every case of an enumeration, in case order, each shown by
// its display name and symbol.
namespace EnumComboBox {

template<typename E> QComboBox *make(QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    for (E value : allCases<E>())
        combo->addItem(Symbols::icon(icon(value)), displayName(value), int(value));
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return combo;
}

template<typename E> void setCurrent(QComboBox *combo, E value)
{
    const int index = combo->findData(int(value));
    if (index >= 0 && combo->currentIndex() != index)
        combo->setCurrentIndex(index);
}

// Whether the case can be chosen; a disabled case is still shown when it
// is the current one.
template<typename E> void setEnabled(QComboBox *combo, E value, bool enabled)
{
    auto *items = qobject_cast<QStandardItemModel *>(combo->model());
    const int index = combo->findData(int(value));
    if (items && index >= 0)
        items->item(index)->setEnabled(enabled);
}

template<typename E> E valueAt(const QComboBox *combo, int index)
{
    return E(combo->itemData(index).toInt());
}

} // namespace EnumComboBox
