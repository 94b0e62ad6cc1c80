#include "AllowedAppBadge.h"

#include "DesktopEntries.h"
#include "IconView.h"
#include "OverlayStyle.h"

#include <QHBoxLayout>
#include <QLabel>

using namespace OverlayStyle;

AllowedAppBadge::AllowedAppBadge(const QString &appId, QWidget *parent)
    : RoundedPanel(kCapsule, white(kAppBadgeFillOpacity), parent), m_appId(appId)
{
    setObjectName(QStringLiteral("allowedAppBadge"));
    auto *row = new QHBoxLayout(this);
    row->setSpacing(kAppBadgeSpacing);
    row->setContentsMargins(kAppBadgeMarginH, kAppBadgeMarginV, kAppBadgeMarginH, kAppBadgeMarginV);

    IconView *iconView = nullptr;
    if (const auto icon = appIcon(appId)) {
        iconView = new IconView(*icon, kAppIconSize, this);
        m_hasAppIcon = true;
    } else {
        iconView = IconView::symbol(QStringLiteral("app.fill"), secondaryText(), kAppSymbolSize, this);
    }
    iconView->setObjectName(QStringLiteral("appIcon"));
    row->addWidget(iconView, 0, Qt::AlignVCenter);

    m_name = new QLabel(appName(appId), this);
    m_name->setObjectName(QStringLiteral("appName"));
    m_name->setTextFormat(Qt::PlainText);
    m_name->setFont(textFont(kAppNameSize, QFont::Medium));
    setTextColor(m_name, white());
    row->addWidget(m_name, 0, Qt::AlignVCenter);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QString AllowedAppBadge::name() const
{
    return m_name->text();
}

std::optional<QIcon> AllowedAppBadge::appIcon(const QString &appId)
{
    const auto entry = DesktopEntries::findByIdentity(appId);
    if (!entry)
        return std::nullopt;
    const QIcon icon = DesktopEntries::icon(*entry);
    if (icon.isNull())
        return std::nullopt;
    return icon;
}

QString AllowedAppBadge::appName(const QString &appId)
{
    if (const auto entry = DesktopEntries::findByIdentity(appId); entry && !entry->name.isEmpty())
        return entry->name;
    return appId.section(QLatin1Char('.'), -1);
}
