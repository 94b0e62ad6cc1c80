// SPDX-License-Identifier: MIT
#include "AppStyle.h"

#include "Symbols.h"

AppStyle::AppStyle() : QProxyStyle(QStringLiteral("Fusion")) {}

QIcon AppStyle::standardIcon(StandardPixmap icon, const QStyleOption *option, const QWidget *widget) const
{
    switch (icon) {
    case SP_ToolBarHorizontalExtensionButton:
        return Symbols::icon(QStringLiteral("chevron.right.2"));
    case SP_ToolBarVerticalExtensionButton:
        return Symbols::icon(QStringLiteral("chevron.down.2"));
    default:
        return QProxyStyle::standardIcon(icon, option, widget);
    }
}
