// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QVariant>
#include <QVariantMap>

#include <functional>

class QDBusPendingCallWatcher;

// The XDG desktop portal on the session bus: its name and object, and its
// way of answering a request later through a Request object.
namespace XdgPortal {

inline constexpr const char *kService = "org.freedesktop.portal.Desktop";
inline constexpr const char *kPath = "/org/freedesktop/portal/desktop";

// The portal's answer codes (the Response signal's first argument).
enum Response : uint { success = 0, cancelled = 1, failed = 2 };

// A value as it comes off the bus, without the variants it is wrapped in
// (values come in one or two, depending on the method).
QVariant unwrapped(QVariant value);

// The part of the portal's object paths that stands for this connection:
// its unique name without the colon, dots as underscores (":1.42" ->
// "1_42").
QString senderPart(const QDBusConnection &bus);

// One call of a portal method that answers through a Request object. The
// answer's Response(code, results) signal is subscribed to before the call
// goes out (its path follows from a fresh handle token, put in the call's
// options), and `done` runs once: with the portal's code and results, or
// with `failed` and an "error" entry when the call itself fails. The request
// deletes itself afterwards; destroying its context before that drops the
// answer.
class Request : public QObject
{
    Q_OBJECT
public:
    using Done = std::function<void(uint code, const QVariantMap &results)>;

    // Calls `method` of `interface` with `arguments` followed by `options`
    // (which gain the handle token).
    static void send(const QDBusConnection &bus, const QString &interface, const QString &method,
                     const QVariantList &arguments, QVariantMap options, QObject *context, Done done);

    // A token for handle_token or session_handle_token options, unique in
    // this process.
    static QString newToken();

public Q_SLOTS:
    // The Request object's Response signal (the bus calls only public slots).
    void response(uint code, const QVariantMap &results);

private:
    Request(const QDBusConnection &bus, QObject *context, Done done);
    bool listen(const QString &path);
    void stopListening();
    void callFinished(QDBusPendingCallWatcher *call);
    void finish(uint code, const QVariantMap &results);

    QDBusConnection m_bus;
    QString m_path;
    Done m_done;
    bool m_finished = false;
};

} // namespace XdgPortal
