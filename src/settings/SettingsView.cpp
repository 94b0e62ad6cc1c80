// SPDX-License-Identifier: MIT
#include "SettingsView.h"

#include "AppearanceSettings.h"
#include "FitsContent.h"
#include "GeneralSettings.h"
#include "ProfilesSettings.h"
#include "SettingsStyle.h"
#include "StatsSettings.h"
#include "Symbols.h"
#include "WindowHook.h"

#include <QButtonGroup>
#include <QFrame>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

int indexOf(SettingsTab tab)
{
    return int(allCases<SettingsTab>().indexOf(tab));
}

QScrollArea *groupedForm(QWidget *page, QWidget *parent)
{
    auto *form = new QScrollArea(parent);
    form->setObjectName(page->objectName() + QStringLiteral("Form"));
    form->setWidget(page);
    form->setFixedWidth(SettingsStyle::kFormWidth);
    // The form shows the window's background.
    form->viewport()->setAutoFillBackground(false);
    page->setAutoFillBackground(false);
    FitsContent::apply(form, SettingsStyle::kFormMaxHeight);
    return form;
}

} // namespace

SettingsView::SettingsView(AppModel *model, ThemeStore *themeStore, QWidget *parent)
    : QWidget(parent), m_model(model)
{
    setObjectName(QStringLiteral("settingsView"));
    setWindowTitle(tr("Settings"));

    // Closed from the keyboard as a Linux settings window is: Esc or Ctrl+W.
    // (Esc first closes an open picker list or sheet, which are windows of
    // their own.)
    QList<QKeySequence> closeKeys{QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)};
    for (const QKeySequence &keys : QKeySequence::keyBindings(QKeySequence::Close))
        if (!closeKeys.contains(keys))
            closeKeys.append(keys);
    for (const QKeySequence &keys : std::as_const(closeKeys)) {
        auto *shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, &QWidget::close);
    }

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // Exactly as big as the chosen page: the window follows it.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // The tab bar: one button per tab, its symbol over its label.
    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(kTabBarMargin, kTabBarMargin, kTabBarMargin, kTabBarMargin);
    bar->addStretch(1);
    m_tabs = new QButtonGroup(this);
    m_tabs->setExclusive(true);
    for (const SettingsTab tab : allCases<SettingsTab>()) {
        auto *button = new QToolButton(this);
        button->setObjectName(QStringLiteral("tab-") + rawValue(tab));
        button->setText(displayName(tab));
        button->setIcon(Symbols::icon(icon(tab)));
        button->setIconSize(QSize(kTabIconSize, kTabIconSize));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setCheckable(true);
        button->setAutoRaise(true);
        button->setAccessibleName(displayName(tab));
        m_tabs->addButton(button, indexOf(tab));
        bar->addWidget(button);
    }
    bar->addStretch(1);
    layout->addLayout(bar);

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    layout->addWidget(line);

    m_general = new GeneralSettings(model);
    m_profiles = new ProfilesSettings(model);
    m_appearance = new AppearanceSettings(themeStore);
    m_stats = new StatsSettings(model);
    for (QWidget *page : {static_cast<QWidget *>(m_general), static_cast<QWidget *>(m_profiles),
                          static_cast<QWidget *>(m_appearance), static_cast<QWidget *>(m_stats)}) {
        QScrollArea *form = groupedForm(page, this);
        form->hide();
        layout->addWidget(form);
        m_forms.append(form);
    }

    connect(m_tabs, &QButtonGroup::idClicked, this, [this](int id) {
        const auto tabs = allCases<SettingsTab>();
        if (id < 0 || id >= tabs.size() || !m_model)
            return;
        if (tabs[id] != m_model->settingsTab())
            m_model->setSettingsTab(tabs[id]);
        else
            showTab(tabs[id]);
    });
    connect(model, &AppModel::settingsTabChanged, this, [this] {
        if (m_model)
            showTab(m_model->settingsTab());
    });

    WindowHook::install(this);
    m_tab = model->settingsTab();
    m_forms[indexOf(m_tab)]->show();
    m_tabs->button(indexOf(m_tab))->setChecked(true);
}

void SettingsView::showTab(SettingsTab tab)
{
    m_tabs->button(indexOf(tab))->setChecked(true);
    if (tab == m_tab)
        return;
    // Only the chosen form takes part in the layout, so the view (and its
    // window) takes that form's size.
    m_forms[indexOf(m_tab)]->hide();
    m_tab = tab;
    m_forms[indexOf(m_tab)]->show();
}

QToolButton *SettingsView::tabButton(SettingsTab tab) const
{
    return static_cast<QToolButton *>(m_tabs->button(indexOf(tab)));
}

QWidget *SettingsView::page(SettingsTab tab) const
{
    return m_forms[indexOf(tab)]->widget();
}

QScrollArea *SettingsView::form(SettingsTab tab) const
{
    return m_forms[indexOf(tab)];
}
