// SPDX-License-Identifier: MIT
#include "Themed.h"

#include "Appearance.h"
#include "Theme.h"
#include "ThemeStore.h"

#include <QApplication>
#include <QWidget>

namespace {

// Text on a filled accent whose theme asks for dark text.
constexpr QRgb kDarkTextOnAccent = 0x16161C;

constexpr QPalette::ColorGroup kTintedGroups[] = {QPalette::Active, QPalette::Inactive};

QList<QPalette::ColorRole> tintedRoles()
{
    QList<QPalette::ColorRole> roles = {QPalette::Highlight, QPalette::HighlightedText, QPalette::Link,
                                        QPalette::LinkVisited};
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    roles.append(QPalette::Accent);
#endif
    return roles;
}

} // namespace

Themed::Themed(QWidget *window, ThemeStore *store) : QObject(window), m_window(window), m_store(store)
{
    if (m_store)
        connect(m_store, &ThemeStore::accentChanged, this, &Themed::apply);
    apply();
}

QPalette Themed::tinted(const QPalette &palette, const Theme &theme, const QPalette &inherited)
{
    QPalette out = palette;
    for (const auto group : kTintedGroups) {
        for (const auto role : tintedRoles())
            out.setBrush(group, role, inherited.brush(group, role));
        if (theme.isSystem())
            continue;
        // Only themes with colours of their own get here; the system accent
        // they are given is never used.
        const QColor accent = theme.accent(inherited.color(group, QPalette::Highlight));
        const QColor text = theme.accentText(inherited, inherited.color(group, QPalette::Link));
        out.setColor(group, QPalette::Highlight, accent);
        out.setColor(group, QPalette::HighlightedText,
                     theme.darkText ? QColor::fromRgb(kDarkTextOnAccent) : Qt::white);
        out.setColor(group, QPalette::Link, text);
        out.setColor(group, QPalette::LinkVisited, text);
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
        out.setColor(group, QPalette::Accent, accent);
#endif
    }
    return out;
}

void Themed::apply()
{
    if (!m_window || !m_store)
        return;
    const QWidget *parent = m_window->parentWidget();
    const QPalette inherited = parent ? parent->palette() : QApplication::palette(m_window);
    m_window->setPalette(tinted(m_window->palette(), m_store->theme(), inherited));
}

Themed *themed(QWidget *window, ThemeStore *store)
{
    if (!window)
        return nullptr;
    if (auto *existing = window->findChild<Themed *>(QString(), Qt::FindDirectChildrenOnly))
        return existing;
    return new Themed(window, store);
}
