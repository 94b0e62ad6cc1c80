// SPDX-License-Identifier: MIT
#pragma once

#include "AppOpener.h"

#include <QList>
#include <QStringList>

// Records what would have been opened.
class FakeAppOpener final : public AppOpener
{
public:
    void openApplication(const QString &name) override { applications.append(name); }
    void openURL(const QUrl &url) override { urls.append(url); }

    QStringList applications;
    QList<QUrl> urls;
};
