// SPDX-License-Identifier: MIT
#pragma once

#include "Statistics.h"

#include <QList>
#include <QLocale>
#include <QWidget>

// A small bar chart of focus minutes per day: one accent-coloured bar per
// day, oldest on the left, with the weekday under each bar in the user's
// locale and the tallest day's time as the scale. Hovering a bar tells its
// date and time.
class FocusChart : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kHeight = 132;
    static constexpr int kLabelGap = 4;
    static constexpr int kBarGap = 6;
    static constexpr qreal kBarRadius = 3;
    static constexpr int kEmptyBarHeight = 2;

    explicit FocusChart(QWidget *parent = nullptr);

    const QList<Statistics::DayTotal> &days() const { return m_days; }
    void setDays(const QList<Statistics::DayTotal> &days);

    // Locale used for the day labels (the system locale unless set).
    void setLocale(const QLocale &locale);

    // The weekday label under a bar: the locale's short name, or its
    // narrow name when the short one does not fit `width` pixels.
    QString dayLabel(const QDate &day, int width) const;
    // The bar under a point, or -1.
    int barAt(const QPoint &pos) const;
    // The rectangle a bar may fill (its full height), for hit tests.
    QRectF barSlot(int index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    QRectF plotArea() const;
    QString describe(const Statistics::DayTotal &day) const;
    void updateAccessibleText();

    QList<Statistics::DayTotal> m_days;
    QLocale m_locale;
};
