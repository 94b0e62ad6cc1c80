// SPDX-License-Identifier: MIT
#pragma once

#include <QProxyStyle>

// The program's widget style: Fusion, with the few standard icons the
// windows show at rest drawn as symbols. Fusion takes those icons from
// image files, and reading the first image file makes Qt load every image
// format plugin it has (JPEG, GIF, SVG, ...) just to ask each whether it
// reads PNG; a window that shows no picture should not pay for that.
class AppStyle : public QProxyStyle
{
    Q_OBJECT
public:
    AppStyle();

    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};
