#pragma once

#include "EnumTable.h"
#include "Symbols.h"

#include <QComboBox>

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

template<typename E> E valueAt(const QComboBox *combo, int index)
{
    return E(combo->itemData(index).toInt());
}

} // namespace EnumComboBox
