// SPDX-License-Identifier: MIT
#include "FormSection.h"

#include "TextStyles.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace {
constexpr float kBorderAlpha = 0.12f;
constexpr int kDarkLightness = 128;
constexpr int kDarkBoxLighter = 118;
} // namespace

FormSection::FormSection(const QString &title, QWidget *parent) : QWidget(parent)
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(kHeaderSpacing);

    m_title = TextStyles::plainLabel(title, this);
    m_title->setObjectName(QStringLiteral("sectionTitle"));
    m_title->setFont(TextStyles::headline(font()));
    m_title->setContentsMargins(kHeaderIndent, 0, 0, 0);
    TextStyles::makeSecondary(m_title);
    outer->addWidget(m_title);

    m_box = new QWidget(this);
    m_box->setObjectName(QStringLiteral("sectionBox"));
    m_rows = new QVBoxLayout(m_box);
    m_rows->setContentsMargins(kBoxPadding, kBoxPadding, kBoxPadding, kBoxPadding);
    m_rows->setSpacing(kRowSpacing);
    outer->addWidget(m_box);
}

QString FormSection::title() const
{
    return m_title->text();
}

void FormSection::addRow(QWidget *widget)
{
    widget->setParent(m_box);
    m_rows->addWidget(widget);
}

QLabel *FormSection::addLabeledRow(const QString &text, QWidget *control)
{
    auto *label = TextStyles::plainLabel(text, m_box);
    addRow(labeledRow(label, control, m_box));
    return label;
}

QLabel *FormSection::addField(const QString &text, QWidget *field, QWidget *accessory)
{
    auto *label = TextStyles::plainLabel(text, m_box);
    addRow(fieldBlock(label, field, m_box, accessory));
    return label;
}

QLabel *FormSection::addCaption(const QString &text)
{
    QLabel *caption = makeCaption(text, m_box);
    addRow(caption);
    return caption;
}

void FormSection::addGroup(QWidget *group)
{
    addRow(group);
}

QWidget *FormSection::makeGroup(QWidget *parent, QVBoxLayout **layout)
{
    auto *group = new QWidget(parent);
    auto *column = new QVBoxLayout(group);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(kRowSpacing);
    if (layout)
        *layout = column;
    return group;
}

QLabel *FormSection::makeCaption(const QString &text, QWidget *parent)
{
    auto *caption = TextStyles::plainLabel(text, parent);
    caption->setObjectName(QStringLiteral("caption"));
    caption->setTextFormat(Qt::PlainText);
    TextStyles::makeCaption(caption);
    return caption;
}

QWidget *FormSection::labeledRow(QLabel *label, QWidget *control, QWidget *parent)
{
    auto *row = new QWidget(parent);
    auto *line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(kRowSpacing);
    // The label takes what the control leaves and wraps in a narrow column,
    // so the control is never pushed out of view.
    label->setParent(row);
    label->setBuddy(control);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    line->addWidget(label, 1);
    control->setParent(row);
    line->addWidget(control, 0, Qt::AlignRight | Qt::AlignVCenter);
    return row;
}

QWidget *FormSection::fieldBlock(QLabel *label, QWidget *field, QWidget *parent, QWidget *accessory)
{
    auto *block = new QWidget(parent);
    auto *column = new QVBoxLayout(block);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(kLabelSpacing);
    label->setParent(block);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setBuddy(field);
    if (accessory) {
        auto *line = new QHBoxLayout;
        line->setSpacing(kRowSpacing);
        line->addWidget(label, 1);
        accessory->setParent(block);
        line->addWidget(accessory, 0, Qt::AlignRight | Qt::AlignBottom);
        column->addLayout(line);
    } else {
        column->addWidget(label);
    }
    field->setParent(block);
    column->addWidget(field);
    if (field->accessibleName().isEmpty())
        field->setAccessibleName(label->text());
    return block;
}

void FormSection::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(m_box->geometry()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath path;
    path.addRoundedRect(box, kCornerRadius, kCornerRadius);
    // Light windows put white boxes on grey; dark ones lift the box above the
    // window so that (darker) text fields still stand out inside it.
    const QColor window = palette().color(QPalette::Window);
    const bool dark = window.lightness() < kDarkLightness;
    p.fillPath(path, dark ? window.lighter(kDarkBoxLighter) : palette().color(QPalette::Base));
    QColor border = palette().color(QPalette::WindowText);
    border.setAlphaF(kBorderAlpha);
    p.setPen(QPen(border, 1));
    p.drawPath(path);
}
