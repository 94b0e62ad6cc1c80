// SPDX-License-Identifier: MIT
#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class AppModel;
class FocusScreen;
class QVBoxLayout;
class ThemeStore;
template<typename T> class Query;

// One focus screen in the popover: name, duration, lock mode, auto-start
// mark and a "Start" button.
class FocusScreenPopoverRow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kSpacing = 12;
    static constexpr int kHorizontalMargin = 12;
    static constexpr int kVerticalMargin = 8;
    static constexpr int kCornerRadius = 8;
    static constexpr int kTextSpacing = 4;
    static constexpr int kDetailSpacing = 8;
    static constexpr int kNamePointSize = 13;

    // The lock mode badge draws in the accent of `themes`.
    FocusScreenPopoverRow(FocusScreen *screen, ThemeStore *themes, std::function<void()> onStart,
                          QWidget *parent = nullptr);

    FocusScreen *screen() const { return m_screen; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    FocusScreen *m_screen;
    std::function<void()> m_onStart;
};

// The popover of the tray item: the focus screens with their Start buttons,
// "Open Lumora..." and "Quit Lumora". A frameless popup that closes when the
// user clicks elsewhere.
class MenuBarPopover : public QWidget
{
    Q_OBJECT
public:
    // The smallest size; the popover grows to what its content needs (a
    // language with longer words) within the screen. A long list scrolls.
    static constexpr int kWidth = 280;
    static constexpr int kHeight = 360;
    static constexpr int kBarHorizontalMargin = 16;
    static constexpr int kBarVerticalMargin = 12;
    static constexpr int kListSpacing = 4;
    static constexpr int kListMargin = 8;
    static constexpr int kFooterSpacing = 8;
    static constexpr int kEmptySpacing = 12;
    static constexpr int kEmptyMargin = 24;
    static constexpr int kEmptySymbolSize = 32;
    static constexpr int kHeaderSymbolSize = 22;

    struct Actions
    {
        std::function<void(FocusScreen *)> start;
        std::function<void()> open;
        std::function<void()> quit;
    };

    // Tinted by `themes` (the program's, outliving the popover).
    MenuBarPopover(AppModel *model, ThemeStore *themes, Actions actions, QWidget *parent = nullptr);
    ~MenuBarPopover() override;

    // Rebuilds the content (fresh query) and shows the popover under the
    // anchor rectangle (the tray icon), or near the pointer when it is empty.
    void showAt(const QRect &anchor);
    // The rows currently listed, in order.
    QList<FocusScreenPopoverRow *> rows() const;
    bool isShowingEmptyState() const;
    // The size the content asks for, at least kWidth x kHeight and at most
    // `available` (a screen's free area).
    QSize contentSize(const QSize &available) const;

Q_SIGNALS:
    void closed();

protected:
    void hideEvent(QHideEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void rebuild();
    void fillList();
    void fitToScreen();

    QPointer<AppModel> m_model;
    QPointer<ThemeStore> m_themes;
    Actions m_actions;
    std::unique_ptr<Query<FocusScreen>> m_query;
    QWidget *m_content = nullptr;
    QVBoxLayout *m_listLayout = nullptr;
    QWidget *m_listPage = nullptr;
    QWidget *m_emptyPage = nullptr;
};
