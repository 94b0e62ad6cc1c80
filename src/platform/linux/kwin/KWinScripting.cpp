// SPDX-License-Identifier: MIT
#include "KWinScripting.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QTemporaryFile>
#include <QThread>
#include <QUuid>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>

namespace {

constexpr auto kScriptingPath = "/Scripting";
constexpr auto kScriptingInterface = "org.kde.kwin.Scripting";
constexpr auto kAnswerInterface = "io.github.lumora.KWinScript";
constexpr auto kAnswerPath = "/io/github/lumora/KWinScript";
// KWin's own calls (loading, running) take milliseconds.
constexpr int kCallTimeoutMs = 5000;
// KWin refuses to load a script under a name still in its list; a script
// being unloaded leaves the list a moment after the call that unloads it.
// A refused load is tried again this many times in all, each after
// confirming the name is free.
constexpr int kLoadAttempts = 3;

std::atomic<int> g_instances{0};
std::atomic<int> g_scripts{0};

QString quoted(const QString &text)
{
    // A JSON string is a JavaScript string literal.
    const QByteArray json = QJsonDocument(QJsonArray{QJsonValue(text)}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

QString scriptFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir() && QFileInfo(runtime).isWritable())
        return runtime;
    return QDir::tempPath();
}

} // namespace

// Receives the answers of the scripts on a thread of its own.
class KWinAnswerReceiver : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.lumora.KWinScript")
public:
    void setKWin(const QString &owner)
    {
        std::lock_guard lock(m_mutex);
        m_kwin = owner;
    }

    // A script's answer is awaited under this token.
    void expect(const QString &token)
    {
        std::lock_guard lock(m_mutex);
        m_pending.insert(token, std::nullopt);
    }

    // A script's answers go out as answered(name, ...).
    void listen(const QString &token, const QString &name)
    {
        std::lock_guard lock(m_mutex);
        m_listening.insert(token, name);
    }

    void forget(const QString &token)
    {
        std::lock_guard lock(m_mutex);
        m_pending.remove(token);
        m_listening.remove(token);
    }

    std::optional<QString> wait(const QString &token, const QDeadlineTimer &deadline)
    {
        std::unique_lock lock(m_mutex);
        m_answer.wait_until(lock, deadline.deadline<std::chrono::steady_clock>(), [&] {
            const auto it = m_pending.constFind(token);
            return it == m_pending.cend() || it->has_value();
        });
        return m_pending.value(token);
    }

public Q_SLOTS:
    Q_SCRIPTABLE void Reply(const QString &token, const QString &text)
    {
        if (!calledFromDBus())
            return;
        QString name;
        {
            std::lock_guard lock(m_mutex);
            // Only KWin speaks for its scripts.
            if (m_kwin.isEmpty() || message().service() != m_kwin)
                return;
            if (const auto it = m_pending.find(token); it != m_pending.end()) {
                if (!it->has_value()) {
                    *it = text;
                    m_answer.notify_all();
                }
                return;
            }
            name = m_listening.value(token);
        }
        if (!name.isEmpty())
            Q_EMIT answered(name, text);
    }

Q_SIGNALS:
    void answered(const QString &name, const QString &text);

private:
    std::mutex m_mutex;
    std::condition_variable m_answer;
    QString m_kwin;
    QHash<QString, std::optional<QString>> m_pending;
    QHash<QString, QString> m_listening;
};

struct KWinScripting::Private
{
    // A script loaded in KWin, with the file KWin reads it from.
    struct Loaded
    {
        QString plugin;
        QString token;
        std::shared_ptr<QTemporaryFile> file;
    };

    KWinScripting *q = nullptr;
    // A connection of its own: the answers on it are received while the
    // main thread waits, which the shared session-bus connection does not
    // do before the main thread returns to its event loop.
    QString connectionName;
    QDBusConnection bus{QString()};
    QThread thread;
    KWinAnswerReceiver *receiver = nullptr;
    std::unique_ptr<QDBusServiceWatcher> watcher;
    bool registered = false;
    QHash<QString, Loaded> started;

    enum class LoadResult { loaded, refused, failed };

    bool ensureReady(QString *error);
    LoadResult load(Loaded &loaded, const QString &body, QString *error);
    bool runLoaded();
    void unload(const QString &plugin);
    bool isLoaded(const QString &plugin, bool *known = nullptr);
    bool unloadConfirmed(const QString &plugin, const QDeadlineTimer &deadline);
    QString script(const QString &token, const QString &body) const;
};

bool KWinScripting::Private::ensureReady(QString *error)
{
    const auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (!registered) {
        if (connectionName.isEmpty()) {
            connectionName = QStringLiteral("lumora-kwin-%1").arg(g_instances.fetch_add(1));
            bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName);
            receiver = new KWinAnswerReceiver;
            receiver->moveToThread(&thread);
            QObject::connect(receiver, &KWinAnswerReceiver::answered, q, &KWinScripting::answered);
            thread.setObjectName(QStringLiteral("KWin answers"));
            thread.start();
        }
        if (!bus.isConnected())
            return fail(KWinScripting::tr("no session bus"));
        if (!bus.registerObject(QLatin1String(kAnswerPath), receiver, QDBusConnection::ExportScriptableSlots))
            return fail(KWinScripting::tr("cannot take KWin's answers on the session bus"));
        registered = true;
        watcher = std::make_unique<QDBusServiceWatcher>(QLatin1String(kService), bus,
                                                        QDBusServiceWatcher::WatchForOwnerChange);
        QObject::connect(watcher.get(), &QDBusServiceWatcher::serviceOwnerChanged, q,
                         [this](const QString &, const QString &, const QString &owner) {
                             receiver->setKWin(owner);
                             // The scripts went with the old KWin.
                             for (const auto &loaded : std::as_const(started))
                                 receiver->forget(loaded.token);
                             started.clear();
                             Q_EMIT q->kwinChanged();
                         });
        receiver->setKWin(bus.interface()->serviceOwner(QLatin1String(kService)).value());
    }
    return true;
}

QString KWinScripting::Private::script(const QString &token, const QString &body) const
{
    return QStringLiteral(R"((function () {
function reply(text) {
    callDBus(%1, %2, %3, "Reply", %4, String(text));
}
function windows() {
    return workspace.windowList ? workspace.windowList() : workspace.clientList();
}
function onWindowAdded(f) {
    (workspace.windowAdded || workspace.clientAdded).connect(f);
}
function onWindowRemoved(f) {
    (workspace.windowRemoved || workspace.clientRemoved).connect(f);
}
%5
})();
)")
        .arg(quoted(bus.baseService()), quoted(QLatin1String(kAnswerPath)),
             quoted(QLatin1String(kAnswerInterface)), quoted(token), body);
}

KWinScripting::Private::LoadResult KWinScripting::Private::load(Loaded &loaded, const QString &body,
                                                                QString *error)
{
    const auto fail = [error](const QString &text, LoadResult result = LoadResult::failed) {
        if (error)
            *error = text;
        return result;
    };
    // Owner-only, and kept until the script is unloaded: KWin reads the
    // file when the script runs.
    loaded.file = std::make_shared<QTemporaryFile>(scriptFolder() + QStringLiteral("/lumora-kwin-XXXXXX.js"));
    if (!loaded.file->open() || loaded.file->write(script(loaded.token, body).toUtf8()) < 0 ||
        !loaded.file->flush())
        return fail(KWinScripting::tr("cannot write a script file"));
    loaded.file->close();

    QDBusMessage call =
        QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kScriptingPath),
                                       QLatin1String(kScriptingInterface), QStringLiteral("loadScript"));
    call << loaded.file->fileName() << loaded.plugin;
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return fail(KWinScripting::tr("KWin does not load scripts: %1").arg(reply.errorName()));
    // A negative number: a script of that name is loaded already.
    if (reply.arguments().value(0).toInt() < 0)
        return fail(KWinScripting::tr("KWin refused to load a script"), LoadResult::refused);
    if (!runLoaded()) {
        unload(loaded.plugin);
        return fail(KWinScripting::tr("KWin does not run scripts"));
    }
    return LoadResult::loaded;
}

// Runs what is loaded and not running yet. Not the script's own run():
// KWin 5.27 numbers its scripts by their place in its list, so that after
// another client's unload a new script can get the number (and the object
// path) of one still loaded, and run() there would run that one instead.
bool KWinScripting::Private::runLoaded()
{
    const QDBusMessage call =
        QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kScriptingPath),
                                       QLatin1String(kScriptingInterface), QStringLiteral("start"));
    return bus.call(call, QDBus::Block, kCallTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

void KWinScripting::Private::unload(const QString &plugin)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kScriptingPath),
                                       QLatin1String(kScriptingInterface), QStringLiteral("unloadScript"));
    call << plugin;
    // Nothing waits for it: a later load comes after it on the same connection.
    bus.send(call);
}

// Whether KWin has a script of that name in its list; known is false when
// KWin did not say.
bool KWinScripting::Private::isLoaded(const QString &plugin, bool *known)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kScriptingPath),
                                       QLatin1String(kScriptingInterface), QStringLiteral("isScriptLoaded"));
    call << plugin;
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    const bool answered = reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty();
    if (known)
        *known = answered;
    return answered && reply.arguments().constFirst().toBool();
}

// Unloads a script of that name (one a killed run left behind, or this
// run's own) and waits until KWin no longer lists it: KWin drops an
// unloaded script from its list only when its own event loop comes round,
// and refuses a new script of that name until then. Each question is a
// round trip, so KWin's loop turns between them.
bool KWinScripting::Private::unloadConfirmed(const QString &plugin, const QDeadlineTimer &deadline)
{
    bool known = false;
    if (!isLoaded(plugin, &known))
        return true;
    QDBusMessage call =
        QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kScriptingPath),
                                       QLatin1String(kScriptingInterface), QStringLiteral("unloadScript"));
    call << plugin;
    bus.call(call, QDBus::Block, kCallTimeoutMs);
    int rounds = 0;
    while (!deadline.hasExpired()) {
        if (!isLoaded(plugin, &known))
            return known;
        // Mostly gone by the second question; beyond that, no busy loop.
        if (++rounds > 2)
            QThread::msleep(std::min<qint64>(20, std::max<qint64>(deadline.remainingTime(), 0)));
    }
    return false;
}

KWinScripting::KWinScripting(QObject *parent) : QObject(parent), d(std::make_unique<Private>())
{
    d->q = this;
}

KWinScripting::~KWinScripting()
{
    const auto names = d->started.keys();
    for (const auto &name : names)
        stop(name);
    if (d->registered)
        d->bus.unregisterObject(QLatin1String(kAnswerPath));
    d->watcher.reset();
    if (!d->connectionName.isEmpty())
        QDBusConnection::disconnectFromBus(d->connectionName);
    d->thread.quit();
    d->thread.wait();
    delete d->receiver;
}

bool KWinScripting::isKWinRunning()
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface()->isServiceRegistered(QLatin1String(kService)).value();
}

std::optional<QString> KWinScripting::run(const QString &body, QString *error, int timeoutMs)
{
    if (!d->ensureReady(error))
        return std::nullopt;
    Private::Loaded loaded;
    loaded.plugin =
        QStringLiteral("lumora-%1-%2").arg(QCoreApplication::applicationPid()).arg(g_scripts.fetch_add(1));
    loaded.token = QUuid::createUuid().toString(QUuid::WithoutBraces);
    const QDeadlineTimer deadline(timeoutMs);
    d->receiver->expect(loaded.token);
    std::optional<QString> answer;
    if (d->load(loaded, body, error) == Private::LoadResult::loaded) {
        answer = d->receiver->wait(loaded.token, deadline);
        d->unload(loaded.plugin);
        if (!answer && error)
            *error = tr("KWin did not answer in time");
    }
    d->receiver->forget(loaded.token);
    return answer;
}

bool KWinScripting::start(const QString &name, const QString &body, QString *error)
{
    stop(name);
    if (!d->ensureReady(error))
        return false;
    Private::Loaded loaded;
    loaded.plugin = QStringLiteral("lumora-") + name;
    loaded.token = QUuid::createUuid().toString(QUuid::WithoutBraces);
    d->receiver->listen(loaded.token, name);
    // One a run before left behind (a killed run's stays loaded) goes
    // first, and is confirmed gone before this one is loaded.
    const QDeadlineTimer deadline(kAnswerTimeoutMs);
    auto result = Private::LoadResult::refused;
    for (int attempt = 0; attempt < kLoadAttempts && result == Private::LoadResult::refused; ++attempt) {
        if (!d->unloadConfirmed(loaded.plugin, deadline)) {
            if (error)
                *error = tr("KWin keeps a script of an earlier run loaded");
            result = Private::LoadResult::failed;
            break;
        }
        result = d->load(loaded, body, error);
    }
    if (result != Private::LoadResult::loaded) {
        d->receiver->forget(loaded.token);
        return false;
    }
    d->started.insert(name, std::move(loaded));
    return true;
}

void KWinScripting::stop(const QString &name)
{
    const auto it = d->started.find(name);
    if (it == d->started.end())
        return;
    d->unload(it->plugin);
    d->receiver->forget(it->token);
    d->started.erase(it);
}

bool KWinScripting::isStarted(const QString &name) const
{
    return d->started.contains(name);
}

#include "KWinScripting.moc"
