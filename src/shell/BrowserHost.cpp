// SPDX-License-Identifier: MIT
#include "BrowserHost.h"

#include "BrowserManifests.h"
#include "Logging.h"
#include "PlatformServices.h"
#include "RemoteControl.h"
#include "SingleInstance.h"
#include "Translations.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace {

constexpr qsizetype kReadChunk = 64 * 1024;
constexpr qsizetype kMaxBrowserName = 64;
// The screen's name is only shown on the block page; a longer one is cut so
// that the session always fits in a message.
constexpr qsizetype kMaxScreenName = 200;

QString shownName(const QString &name)
{
    if (name.size() <= kMaxScreenName)
        return name;
    const qsizetype cut = name.at(kMaxScreenName - 1).isHighSurrogate() ? kMaxScreenName - 1 : kMaxScreenName;
    return name.left(cut) + u'…';
}

} // namespace

std::optional<QString> BrowserHost::browserFromArguments(const QStringList &arguments)
{
    const QString first = arguments.value(1);
    if (first == QLatin1String(kOption))
        return QStringLiteral("Browser");
    if (first.startsWith(QLatin1String("chrome-extension://")))
        return QStringLiteral("Chromium");
    if (arguments.size() >= 3 && first.endsWith(QLatin1String(".json")) &&
        arguments.at(2) == QLatin1String(BrowserManifests::kFirefoxExtensionId))
        return QStringLiteral("Firefox");
    return std::nullopt;
}

int BrowserHost::run(int argc, char **argv, const QString &browser)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Lumora"));
    QCoreApplication::setOrganizationName(QStringLiteral("Lumora"));
    Translations::install(QLocale::system());
    // A browser that closed the pipe is noticed by the failed write.
    std::signal(SIGPIPE, SIG_IGN);

    const std::unique_ptr<PlatformServices> platform = PlatformServices::forThisDesktop();
    const std::unique_ptr<RemoteControl> remote = platform->makeRemoteControl(SingleInstance::serviceName());
    BrowserHost host(*remote, browser, STDIN_FILENO, STDOUT_FILENO);
    QObject::connect(
        &host, &BrowserHost::finished, &app, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    host.start();
    return QCoreApplication::exec();
}

BrowserHost::BrowserHost(RemoteControl &remote, QString browser, int input, int output, QObject *parent)
    : QObject(parent), m_remote(remote), m_browser(std::move(browser)), m_input(input), m_output(output)
{}

void BrowserHost::start()
{
    // Until the running Lumora answers, nothing keeps the browser.
    send({{QStringLiteral("type"), QStringLiteral("none")}});
    connect(&m_remote, &RemoteControl::websiteSessionChanged, this, &BrowserHost::sendSession);
    if (!m_remote.followWebsiteSession(m_browser))
        report(tr("there is no session bus, so there is no focus session to follow"));
    m_notifier = new QSocketNotifier(m_input, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &BrowserHost::readInput);
}

void BrowserHost::readInput()
{
    std::array<char, kReadChunk> buffer{};
    const ssize_t n = ::read(m_input, buffer.data(), buffer.size());
    if (n < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (n <= 0) {
        if (const QString error = m_reader.errorAtEnd(); !error.isEmpty())
            report(error);
        finish();
        return;
    }
    for (const NativeMessaging::Reader::Item &item : m_reader.feed(QByteArrayView(buffer.data(), n))) {
        if (!item.error.isEmpty())
            report(item.error);
        else
            handle(item.message);
    }
}

void BrowserHost::handle(const QJsonObject &message)
{
    const QString type = message.value(QStringLiteral("type")).toString();
    if (type != QLatin1String("hello")) {
        report(
            tr("a message of type \"%1\" is not understood; it is skipped").arg(type.left(kMaxBrowserName)));
        return;
    }
    if (m_greeted) {
        report(tr("the browser said hello a second time on the same connection; it is skipped"));
        return;
    }
    m_greeted = true;
    const QString browser =
        message.value(QStringLiteral("browser")).toString().left(kMaxBrowserName).trimmed();
    if (!browser.isEmpty() && browser != m_browser) {
        m_browser = browser;
        m_remote.followWebsiteSession(m_browser);
    }
    sendSession();
}

void BrowserHost::sendSession()
{
    const std::optional<WebsiteSession> &session = m_remote.websiteSession();
    if (!session) {
        send({{QStringLiteral("type"), QStringLiteral("none")}});
        return;
    }
    QJsonObject message{{QStringLiteral("type"), QStringLiteral("session")},
                        {QStringLiteral("screen"), shownName(session->screenName)},
                        {QStringLiteral("end"), double(session->end.toMSecsSinceEpoch())},
                        {QStringLiteral("domains"), QJsonArray::fromStringList(session->domains)}};
    if (session->blocked)
        message.insert(QStringLiteral("blocked"), true);
    // Too many domains for one message: fewer are allowed (or refused),
    // never none kept.
    QStringList domains = session->domains;
    while (NativeMessaging::frame(message).isEmpty() && domains.size() > 1) {
        domains.resize(domains.size() / 2);
        message.insert(QStringLiteral("domains"), QJsonArray::fromStringList(domains));
    }
    if (domains.size() < session->domains.size())
        report(tr("the focus screen allows too many websites for one message; the browser allows only "
                  "the first %1 of %2")
                   .arg(domains.size())
                   .arg(session->domains.size()));
    send(message);
}

void BrowserHost::send(const QJsonObject &message)
{
    if (m_finished)
        return;
    const QByteArray bytes = NativeMessaging::frame(message);
    if (bytes.isEmpty()) {
        report(tr("a message for the browser is longer than 1 MB; it is not sent"));
        return;
    }
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(m_output, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // The browser is gone.
            finish();
            return;
        }
        written += n;
    }
}

void BrowserHost::report(const QString &error)
{
    qCWarning(lcShell).noquote() << QStringLiteral("lumora: native messaging: ") + error;
}

void BrowserHost::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    if (m_notifier)
        m_notifier->setEnabled(false);
    Q_EMIT finished();
}
