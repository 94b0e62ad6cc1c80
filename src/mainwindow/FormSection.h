// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class QLabel;
class QVBoxLayout;

// One section of a grouped form: a header above a rounded box whose rows
// hold the section's controls and captions.
class FormSection : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kBoxPadding = 12;
    static constexpr int kRowSpacing = 8;
    static constexpr int kHeaderSpacing = 6;
    static constexpr int kHeaderIndent = 4;
    // Between a field's label and the field.
    static constexpr int kLabelSpacing = 4;
    static constexpr qreal kCornerRadius = 8;

    explicit FormSection(const QString &title, QWidget *parent = nullptr);

    QString title() const;

    // A control spanning the row.
    void addRow(QWidget *widget);
    // A label on the left and the control on the right.
    QLabel *addLabeledRow(const QString &label, QWidget *control);
    // A label above a field that spans the row; an accessory (a button that
    // helps fill the field) sits at the right end of the label's line.
    QLabel *addField(const QString &label, QWidget *field, QWidget *accessory = nullptr);
    // A caption line (caption font, secondary colour).
    QLabel *addCaption(const QString &text);
    // A group of rows that can be shown and hidden together.
    void addGroup(QWidget *group);

    // Builds a group widget with the section's row spacing.
    static QWidget *makeGroup(QWidget *parent, QVBoxLayout **layout);
    static QLabel *makeCaption(const QString &text, QWidget *parent);
    static QWidget *labeledRow(QLabel *label, QWidget *control, QWidget *parent);
    static QWidget *fieldBlock(QLabel *label, QWidget *field, QWidget *parent, QWidget *accessory = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *m_title;
    QWidget *m_box;
    QVBoxLayout *m_rows;
};
