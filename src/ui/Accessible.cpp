// SPDX-License-Identifier: MIT
#include "Accessible.h"

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QWidget>

namespace {

constexpr char kRole[] = "_lumora_accessibleRole";
constexpr char kDecorative[] = "_lumora_accessibleDecorative";
constexpr char kValueText[] = "_lumora_accessibleValueText";
constexpr char kValue[] = "_lumora_accessibleValue";
constexpr char kMinimum[] = "_lumora_accessibleMinimum";
constexpr char kMaximum[] = "_lumora_accessibleMaximum";
constexpr char kStep[] = "_lumora_accessibleStep";

// A widget presented with the role, value and range stored on it.
class RoledWidget : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    RoledWidget(QWidget *widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return widget()->property(kValueText).toString();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        if (Accessible::isDecorative(widget()))
            s.focusable = false;
        return s;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface && widget()->property(kMaximum).isValid())
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QVariant currentValue() const override { return widget()->property(kValue); }
    void setCurrentValue(const QVariant &value) override
    {
        QMetaObject::invokeMethod(widget(), "applyAccessibleValue", Q_ARG(double, value.toDouble()));
    }
    QVariant maximumValue() const override { return widget()->property(kMaximum); }
    QVariant minimumValue() const override { return widget()->property(kMinimum); }
    QVariant minimumStepSize() const override { return widget()->property(kStep); }
};

QAccessibleInterface *roledWidgetFactory(const QString &, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return nullptr;
    const QVariant role = widget->property(kRole);
    if (!role.isValid())
        return nullptr;
    return new RoledWidget(widget, QAccessible::Role(role.toInt()));
}

void ensureFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(roledWidgetFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace

namespace Accessible {

void setRole(QWidget *widget, QAccessible::Role role)
{
    ensureFactory();
    widget->setProperty(kRole, int(role));
    // An interface made before the role was known (a name or text set while
    // the widget was built is announced, and that makes one) is dropped so
    // that the next query makes the right one.
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    if (iface && !dynamic_cast<RoledWidget *>(iface))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
}

void setDecorative(QWidget *widget)
{
    setRole(widget, QAccessible::Graphic);
    widget->setProperty(kDecorative, true);
    widget->setFocusPolicy(Qt::NoFocus);
}

bool isDecorative(const QWidget *widget)
{
    return widget->property(kDecorative).toBool() && widget->accessibleName().isEmpty();
}

void setRange(QWidget *widget, double minimum, double maximum, double step)
{
    widget->setProperty(kMinimum, minimum);
    widget->setProperty(kMaximum, maximum);
    widget->setProperty(kStep, step);
}

void setValue(QWidget *widget, const QString &text, double value)
{
    const bool changed = widget->property(kValueText).toString() != text;
    widget->setProperty(kValueText, text);
    if (widget->property(kMaximum).isValid())
        widget->setProperty(kValue, value);
    if (changed) {
        QAccessibleValueChangeEvent event(widget, widget->property(kMaximum).isValid() ? QVariant(value)
                                                                                       : QVariant(text));
        QAccessible::updateAccessibility(&event);
    }
}

QString valueText(const QWidget *widget)
{
    return widget->property(kValueText).toString();
}

} // namespace Accessible
