// SPDX-License-Identifier: MIT
#include "AppearanceSettings.h"

#include "AccentPreview.h"
#include "AccentSwatch.h"
#include "TextStyles.h"
#include "Theme.h"
#include "ThemeStore.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int kPageMargin = 20;
constexpr qreal kCaptionScale = 0.85;

QFont captionFont(QFont f)
{
    if (f.pointSizeF() > 0)
        f.setPointSizeF(f.pointSizeF() * kCaptionScale);
    return f;
}
} // namespace

AppearanceSettings::AppearanceSettings(ThemeStore *store, QWidget *parent) : QWidget(parent), m_store(store)
{
    setObjectName(QStringLiteral("appearanceSettings"));
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(kPageMargin, kPageMargin, kPageMargin, kPageMargin);

    auto *section = new QGroupBox(this);
    section->setObjectName(QStringLiteral("accentSection"));
    auto *rows = new QVBoxLayout(section);

    // Row 1: "Accent color", with the swatches and the chosen name trailing.
    auto *accentRow = new QHBoxLayout;
    auto *title = TextStyles::plainLabel(tr("Accent color"), section);
    accentRow->addWidget(title, 0, Qt::AlignTop);
    accentRow->addStretch(1);
    auto *stack = new QVBoxLayout;
    stack->setSpacing(kStackSpacing);
    auto *swatchRow = new QHBoxLayout;
    swatchRow->setSpacing(kSwatchSpacing);
    for (const Theme &theme : Theme::all()) {
        const QString id = theme.id;
        auto *swatch = new AccentSwatch(theme, false, [store = m_store, id] {
            if (store)
                store->setThemeID(id);
        });
        swatchRow->addWidget(swatch);
        m_swatches.append(swatch);
    }
    stack->addLayout(swatchRow);
    m_themeName = TextStyles::plainLabel(QString(), section);
    m_themeName->setObjectName(QStringLiteral("themeName"));
    m_themeName->setFont(captionFont(font()));
    m_themeName->setForegroundRole(QPalette::PlaceholderText);
    stack->addWidget(m_themeName, 0, Qt::AlignRight);
    accentRow->addLayout(stack);
    rows->addLayout(accentRow);

    // Row 2: the preview, with a little extra room above and below.
    m_preview = new AccentPreview(m_store, section);
    rows->addSpacing(kPreviewMargin);
    rows->addWidget(m_preview);
    rows->addSpacing(kPreviewMargin);

    page->addWidget(section);
    page->addStretch(1);

    if (m_store)
        connect(m_store, &ThemeStore::themeIDChanged, this, &AppearanceSettings::sync);
    sync();
}

QString AppearanceSettings::themeName(const QString &themeID)
{
    for (const Theme &theme : Theme::all())
        if (theme.id == themeID)
            return theme.displayName();
    return Theme::system().displayName();
}

void AppearanceSettings::sync()
{
    const QString id = m_store ? m_store->themeID() : QString();
    for (AccentSwatch *swatch : std::as_const(m_swatches))
        swatch->setSelected(swatch->theme().id == id);
    m_themeName->setText(themeName(id));
}
