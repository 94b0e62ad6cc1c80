// SPDX-License-Identifier: MIT
#pragma once

#include <QPointer>
#include <QWidget>

// An invisible widget that keeps the keyboard focus off every control when
// its window is shown for the first time, and again each time the window is
// shown after being closed. It holds the focus itself (it has no size and
// draws nothing), so no text field is focused on arrival, and Tab moves on
// to the first control as usual. The focus is taken after the current event,
// so it wins over Qt's own choice of an initial focus widget.
class WindowHookProbe : public QWidget
{
    Q_OBJECT
public:
    explicit WindowHookProbe(QWidget *parent = nullptr);

    // True from the moment the window closes until it is next activated.
    bool reopened() const { return m_reopened; }
    // The window the probe watches (null until it is shown in one).
    QWidget *watchedWindow() const { return m_window; }

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The probe is in a window now (or in another one than before).
    void placed();
    // Takes the focus away from every control, after the current event.
    void clearFocusLater();

    QPointer<QWidget> m_window;
    bool m_reopened = false;
};

// Puts a window hook behind a widget's content.
class WindowHook
{
public:
    using Probe = WindowHookProbe;

    // Creates the one probe of `content` (a second call returns the first).
    static Probe *install(QWidget *content);
};
