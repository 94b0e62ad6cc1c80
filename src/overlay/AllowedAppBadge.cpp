// SPDX-License-Identifier: MIT
#include "AllowedAppBadge.h"

#include "AppCatalogue.h"
#include "DisplayText.h"
#include "IconView.h"
#include "OverlayStyle.h"
#include "TextStyles.h"

#include <QHBoxLayout>
#include <QLabel>

using namespace OverlayStyle;

AllowedAppBadge::AllowedAppBadge(const QString &appId, const AppCatalogue *catalogue, QWidget *parent)
    : RoundedPanel(kCapsule, white(kAppBadgeFillOpacity), parent), m_appId(appId)
{
    setObjectName(QStringLiteral("allowedAppBadge"));
    auto *row = new QHBoxLayout(this);
    row->setSpacing(kAppBadgeSpacing);
    row->setContentsMargins(kAppBadgeMarginH, kAppBadgeMarginV, kAppBadgeMarginH, kAppBadgeMarginV);

    IconView *iconView = nullptr;
    if (const auto icon = appIcon(appId, catalogue)) {
        iconView = new IconView(*icon, kAppIconSize, this);
        m_hasAppIcon = true;
    } else {
        iconView = IconView::symbol(QStringLiteral("app.fill"), secondaryText(), kAppSymbolSize, this);
    }
    iconView->setObjectName(QStringLiteral("appIcon"));
    row->addWidget(iconView, 0, Qt::AlignVCenter);

    m_name = TextStyles::plainLabel(DisplayText::capped(appName(appId, catalogue), kMaxNameChars), this);
    m_name->setObjectName(QStringLiteral("appName"));
    m_name->setFont(textFont(kAppNameSize, QFont::Medium));
    setTextColor(m_name, white());
    row->addWidget(m_name, 0, Qt::AlignVCenter);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QString AllowedAppBadge::name() const
{
    return m_name->text();
}

std::optional<QIcon> AllowedAppBadge::appIcon(const QString &appId, const AppCatalogue *catalogue)
{
    const auto entry = catalogue ? catalogue->findByIdentity(appId) : std::nullopt;
    if (!entry)
        return std::nullopt;
    const QIcon icon = catalogue->icon(*entry);
    if (icon.isNull())
        return std::nullopt;
    return icon;
}

QString AllowedAppBadge::appName(const QString &appId, const AppCatalogue *catalogue)
{
    if (const auto entry = catalogue ? catalogue->findByIdentity(appId) : std::nullopt;
        entry && !entry->name.isEmpty())
        return entry->name;
    return appId.section(QLatin1Char('.'), -1);
}
