// SPDX-License-Identifier: MIT
#pragma once

#include "ThemeStore.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class AccentPreview;
class AccentSwatch;
class QLabel;

// The appearance page of the settings window: one swatch per accent theme,
// the chosen theme's name and a live preview. Choosing a swatch writes the
// store's theme id, which saves it and retints every themed window at once.
class AppearanceSettings : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kStackSpacing = 4;
    static constexpr int kSwatchSpacing = 8;
    static constexpr int kPreviewMargin = 4;

    // Shows and sets the accent theme of `store`.
    explicit AppearanceSettings(ThemeStore *store, QWidget *parent = nullptr);

    ThemeStore *store() const { return m_store; }
    const QList<AccentSwatch *> &swatches() const { return m_swatches; }
    QLabel *themeNameLabel() const { return m_themeName; }
    AccentPreview *preview() const { return m_preview; }

    // The name shown under the swatches: the chosen theme's, or "System"
    // when no theme has the stored id.
    static QString themeName(const QString &themeID);

private:
    void sync();

    QPointer<ThemeStore> m_store;
    QList<AccentSwatch *> m_swatches;
    QLabel *m_themeName = nullptr;
    AccentPreview *m_preview = nullptr;
};
