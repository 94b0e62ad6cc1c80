#include "SettingsEmptyState.h"

#include "SettingsStyle.h"
#include "SettingsSymbol.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr qreal kTitleScale = 1.25;
}

SettingsEmptyState::SettingsEmptyState(const QString &title, const QString &symbol,
                                       const QString &description, QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->setSpacing(kSpacing);

    auto *icon = new SettingsSymbol(symbol, kSymbolSize, this);
    SettingsStyle::makeSecondary(icon);
    layout->addWidget(icon, 0, Qt::AlignHCenter);

    m_title = new QLabel(title, this);
    m_title->setObjectName(QStringLiteral("emptyStateTitle"));
    QFont titleFont = SettingsStyle::headline(font());
    if (titleFont.pointSizeF() > 0)
        titleFont.setPointSizeF(titleFont.pointSizeF() * kTitleScale);
    m_title->setFont(titleFont);
    m_title->setAlignment(Qt::AlignHCenter);
    layout->addWidget(m_title);

    m_description = new QLabel(description, this);
    m_description->setObjectName(QStringLiteral("emptyStateDescription"));
    m_description->setAlignment(Qt::AlignHCenter);
    m_description->setWordWrap(true);
    SettingsStyle::makeSecondary(m_description);
    m_description->setVisible(!description.isEmpty());
    layout->addWidget(m_description);

    setAccessibleName(title);
    setAccessibleDescription(description);
}

QString SettingsEmptyState::title() const
{
    return m_title->text();
}

QString SettingsEmptyState::description() const
{
    return m_description->text();
}
