// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

// Holders of what Xlib hands over to be freed by the caller: each frees it
// when it goes. Include this header after every Qt header (the X11 macros
// None, Bool, Status, ... must not reach Qt's).
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XRes.h>

// A connection to the X server: closed (XCloseDisplay) when the guard goes,
// unless it was released first.
class X11DisplayGuard
{
public:
    X11DisplayGuard() = default;
    ~X11DisplayGuard() { reset(); }
    X11DisplayGuard(const X11DisplayGuard &) = delete;
    X11DisplayGuard &operator=(const X11DisplayGuard &) = delete;

    // Opens the display `name` names ($DISPLAY when null), closing any
    // held before.
    bool open(const char *name = nullptr)
    {
        reset();
        m_display = XOpenDisplay(name);
        return m_display != nullptr;
    }
    Display *get() const { return m_display; }
    explicit operator bool() const { return m_display != nullptr; }
    void reset()
    {
        if (m_display)
            XCloseDisplay(std::exchange(m_display, nullptr));
    }
    // Lets go of the display without closing it (a broken connection
    // cannot be closed).
    Display *release() { return std::exchange(m_display, nullptr); }

private:
    Display *m_display = nullptr;
};

// One window property as XGetWindowProperty reads it, of the given type
// (AnyPropertyType for any).
class X11WindowProperty
{
public:
    // Longest read, in 32-bit units (a client list of 65536 windows).
    static constexpr long maximumLength = 65536;

    X11WindowProperty(Display *display, Window window, Atom property, Atom type)
    {
        unsigned long after = 0;
        m_read = XGetWindowProperty(display, window, property, 0, maximumLength, False, type, &m_type,
                                    &m_format, &m_count, &after, &m_data) == Success;
    }
    ~X11WindowProperty()
    {
        if (m_data)
            XFree(m_data);
    }
    X11WindowProperty(const X11WindowProperty &) = delete;
    X11WindowProperty &operator=(const X11WindowProperty &) = delete;

    // Read and present (a missing property or one of another type reads
    // as type None).
    bool isValid() const { return m_read && m_data && m_type != None; }
    int format() const { return m_format; }

    // The items of a 32-bit property, which Xlib hands over as long.
    std::optional<QList<unsigned long>> longs() const
    {
        if (!isValid() || m_format != 32)
            return std::nullopt;
        const auto *values = reinterpret_cast<const unsigned long *>(m_data);
        return QList<unsigned long>(values, values + m_count);
    }
    // The bytes of an 8-bit property.
    std::optional<QByteArray> bytes() const
    {
        if (!isValid() || m_format != 8)
            return std::nullopt;
        return QByteArray(reinterpret_cast<const char *>(m_data), static_cast<qsizetype>(m_count));
    }

private:
    bool m_read = false;
    Atom m_type = None;
    int m_format = 0;
    unsigned long m_count = 0;
    unsigned char *m_data = nullptr;
};

// WM_CLASS of a window: its instance and class names, empty when unset.
class X11ClassHint
{
public:
    X11ClassHint(Display *display, Window window) { XGetClassHint(display, window, &m_hint); }
    ~X11ClassHint()
    {
        if (m_hint.res_name)
            XFree(m_hint.res_name);
        if (m_hint.res_class)
            XFree(m_hint.res_class);
    }
    X11ClassHint(const X11ClassHint &) = delete;
    X11ClassHint &operator=(const X11ClassHint &) = delete;

    QString instanceName() const { return QString::fromLocal8Bit(m_hint.res_name ? m_hint.res_name : ""); }
    QString className() const { return QString::fromLocal8Bit(m_hint.res_class ? m_hint.res_class : ""); }

private:
    XClassHint m_hint{nullptr, nullptr};
};

// The client ids the X-Resource extension reports for one window's client.
class X11ClientIds
{
public:
    X11ClientIds(Display *display, XResClientIdSpec spec)
    {
        if (XResQueryClientIds(display, 1, &spec, &m_count, &m_values) != Success) {
            m_count = 0;
            m_values = nullptr;
        }
    }
    ~X11ClientIds()
    {
        if (m_values)
            XResClientIdsDestroy(m_count, m_values);
    }
    X11ClientIds(const X11ClientIds &) = delete;
    X11ClientIds &operator=(const X11ClientIds &) = delete;

    XResClientIdValue *begin() const { return m_values; }
    XResClientIdValue *end() const { return m_values + m_count; }

private:
    long m_count = 0;
    XResClientIdValue *m_values = nullptr;
};
