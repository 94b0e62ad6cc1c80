// SPDX-License-Identifier: MIT
#include "Snapshot.h"

#include "AppModel.h"
#include "Appearance.h"
#include "DisplaySleepInhibitor.h"
#include "FocusOverlayView.h"
#include "FocusScreen.h"
#include "GridProbes.h"
#include "OverlayWindows.h"
#include "PlatformServices.h"
#include "Store.h"
#include "TerminalText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <deque>

namespace Snapshot {

namespace {

constexpr int kStartWaitMs = 1500;
constexpr int kPageWaitMs = 800;
constexpr int kSettingsWaitMs = 1000;
constexpr int kOverlayWaitMs = 1000;
constexpr double kTestDuration = 600;
constexpr double kTestRemaining = 300;

void printLine(const QString &line)
{
    TerminalText::printLine(line);
}

QString appearanceName(AppearanceKind kind)
{
    return kind == AppearanceKind::dark ? QStringLiteral("dark") : QStringLiteral("light");
}

QWidget *mainWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("main"))
            return w;
    return nullptr;
}

QWidget *settingsWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("settings") && w->isVisible())
            return w;
    return nullptr;
}

// The run: a list of steps, each after its wait, on the main thread.
class Run : public QObject
{
public:
    Run(AppModel &model, std::function<void()> openSettings, Appearance *appearance, GridProbes *probes,
        QString directory, QSet<QString> pages, std::unique_ptr<DisplaySleepInhibitor> inhibitor,
        ShellWindows shellWindows)
        : QObject(QCoreApplication::instance()), m_model(&model), m_openSettings(std::move(openSettings)),
          m_appearance(appearance), m_probes(probes), m_directory(std::move(directory)),
          m_pages(std::move(pages)), m_inhibitor(std::move(inhibitor)),
          m_shellWindows(std::move(shellWindows))
    {}

    void start()
    {
        QDir().mkpath(m_directory);
        then(kStartWaitMs, [] {});
        for (AppearanceKind kind : {AppearanceKind::light, AppearanceKind::dark}) {
            const QString look = appearanceName(kind);
            then(0, [this, kind] { force(kind); });
            for (SidebarItem page : allCases<SidebarItem>()) {
                const QString name = rawValue(page);
                if (!m_pages.contains(name))
                    continue;
                then(0, [this, page] { m_model->setSidebar(page); });
                then(kPageWaitMs, [this, name, look] {
                    capture(file(name + QLatin1Char('-') + look), mainWindow(), m_probes);
                });
            }
            if (m_pages.contains(QStringLiteral("editor"))) {
                then(0, [this] {
                    m_model->setSidebar(SidebarItem::focusScreens);
                    const QList<FocusScreen *> screens = m_model->focusScreens();
                    if (!screens.isEmpty())
                        m_model->setSelection(screens.first()->id());
                });
                then(kPageWaitMs, [this, look] {
                    capture(file(QStringLiteral("editor-") + look), mainWindow(), m_probes);
                });
            }
            for (const auto &[name, make] : {std::pair{QStringLiteral("popover"), m_shellWindows.popover},
                                             std::pair{QStringLiteral("about"), m_shellWindows.about}}) {
                if (!m_pages.contains(name) || !make)
                    continue;
                then(0, [this, make = make] { m_shellWindow = make(); });
                then(kPageWaitMs, [this, name = name, look] {
                    capture(file(name + QLatin1Char('-') + look), m_shellWindow, m_probes);
                    if (m_shellWindow)
                        m_shellWindow->hide();
                });
            }
            if (m_pages.contains(QStringLiteral("challengeSheet"))) {
                for (StrictModeType type : {StrictModeType::sentence, StrictModeType::math}) {
                    then(0, [this, type] {
                        m_overlay = createTestOverlayWindow(LockMode::overlay, QStringLiteral("Test Focus"),
                                                            kTestDuration, type);
                    });
                    then(kOverlayWaitMs, [this, type, look] {
                        Snapshot::capture(file(QStringLiteral("challengeSheet-") + rawValue(type) +
                                               QLatin1Char('-') + look),
                                          m_overlay, m_probes);
                        if (m_overlay) {
                            m_overlay->hide();
                            m_overlay->deleteLater();
                        }
                    });
                }
            }
            if (m_pages.contains(QStringLiteral("settings"))) {
                then(0, [this] {
                    if (m_openSettings)
                        m_openSettings();
                });
                then(kSettingsWaitMs, [] {});
                for (SettingsTab tab : allCases<SettingsTab>()) {
                    const QString name = rawValue(tab);
                    then(0, [this, tab] { m_model->setSettingsTab(tab); });
                    then(kPageWaitMs, [this, name, look] {
                        Snapshot::capture(file(QStringLiteral("settings-") + name + QLatin1Char('-') + look),
                                          settingsWindow(), m_probes);
                    });
                }
            }
        }
        if (m_pages.contains(QStringLiteral("focusOverlay"))) {
            for (AppearanceKind kind : {AppearanceKind::light, AppearanceKind::dark}) {
                const QString look = appearanceName(kind);
                for (LockMode mode : allCases<LockMode>()) {
                    then(0, [this, kind, mode] {
                        force(kind);
                        m_overlay =
                            createTestOverlayWindow(mode, QStringLiteral("Test Focus"), kTestDuration);
                    });
                    then(kOverlayWaitMs, [this, mode, look] {
                        Snapshot::capture(
                            file(QStringLiteral("focusOverlay-") + rawValue(mode) + QLatin1Char('-') + look),
                            m_overlay, m_probes);
                        if (m_overlay) {
                            m_overlay->hide();
                            m_overlay->deleteLater();
                        }
                    });
                }
                // The break between two rounds.
                then(0, [this] {
                    m_overlay = createTestOverlayWindow(LockMode::hideApps, QStringLiteral("Test Focus"),
                                                        kTestDuration, StrictModeType::none, 1);
                });
                then(kOverlayWaitMs, [this, look] {
                    Snapshot::capture(file(QStringLiteral("focusOverlay-break-") + look), m_overlay,
                                      m_probes);
                    if (m_overlay) {
                        m_overlay->hide();
                        m_overlay->deleteLater();
                    }
                });
            }
        }
        then(0, [this] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *dialog = qobject_cast<QDialog *>(w); dialog && dialog->isVisible())
                    dialog->reject();
            printLine(QStringLiteral("SNAPSHOT done ") + m_directory);
            m_inhibitor.reset();
            // Ends the run without asking the windows: without a tray host
            // the main window refuses to close, which would keep it going.
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        });
        next();
    }

private:
    struct Step
    {
        int waitMs;
        std::function<void()> action;
    };

    void then(int waitMs, std::function<void()> action) { m_steps.push_back({waitMs, std::move(action)}); }

    void force(AppearanceKind kind)
    {
        if (m_appearance)
            m_appearance->setForced(kind);
    }

    QString file(const QString &stem) const
    {
        return QDir(m_directory).filePath(stem + QStringLiteral(".png"));
    }

    void next()
    {
        if (m_steps.empty())
            return;
        Step step = std::move(m_steps.front());
        m_steps.pop_front();
        QTimer::singleShot(step.waitMs, this, [this, action = std::move(step.action)] {
            if (!m_model)
                return;
            action();
            next();
        });
    }

    QPointer<AppModel> m_model;
    std::function<void()> m_openSettings;
    QPointer<Appearance> m_appearance;
    QPointer<GridProbes> m_probes;
    QString m_directory;
    QSet<QString> m_pages;
    std::deque<Step> m_steps;
    QPointer<QWidget> m_overlay;
    // The display stays awake while the pictures are taken.
    std::unique_ptr<DisplaySleepInhibitor> m_inhibitor;
    ShellWindows m_shellWindows;
    QPointer<QWidget> m_shellWindow;
};

} // namespace

QStringList pageNames()
{
    return {QStringLiteral("focusScreens"), QStringLiteral("sessions"), QStringLiteral("profiles"),
            QStringLiteral("editor"),       QStringLiteral("popover"),  QStringLiteral("challengeSheet"),
            QStringLiteral("about"),        QStringLiteral("settings"), QStringLiteral("focusOverlay")};
}

QSet<QString> requestedPages(const std::optional<QString> &pagesVariable)
{
    if (!pagesVariable) {
        const QStringList all = pageNames();
        return QSet<QString>(all.begin(), all.end());
    }
    QSet<QString> pages;
    for (const QString &piece : pagesVariable->split(QLatin1Char(','), Qt::SkipEmptyParts))
        pages.insert(piece);
    return pages;
}

bool capture(const QString &path, QWidget *window, const GridProbes *probes)
{
    if (!window) {
        printLine(QStringLiteral("SNAPSHOT no window"));
        return false;
    }
    window->show();
    window->raise();
    window->activateWindow();
    QString layoutPath = path;
    if (layoutPath.endsWith(QLatin1String(".png")))
        layoutPath.chop(4);
    layoutPath += QStringLiteral("-layout.json");
    if (probes)
        probes->write(layoutPath, window);
    QFile::remove(path);
    // Rendered in-process: the whole window as it is laid out, independent of
    // what a compositor or another window shows on the screen.
    const QPixmap image = window->grab();
    if (image.isNull() || !image.save(path, "PNG"))
        return false;
    printLine(QStringLiteral("SNAPSHOT ") + path);
    return true;
}

QWidget *createTestOverlayWindow(LockMode lockMode, const QString &screenName, double duration,
                                 StrictModeType challenge, int breakAfterRound)
{
    QScreen *screen = QGuiApplication::primaryScreen();
    auto *window = new QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setObjectName(QStringLiteral("FocusOverlayWindow"));
    window->setWindowTitle(QCoreApplication::translate("FocusOverlayController", "Lumora Focus"));
    FocusOverlayContent content;
    content.screenName = screenName;
    content.duration = duration;
    content.remainingTime = kTestRemaining;
    content.lockMode = lockMode;
    if (breakAfterRound > 0) {
        content.round = breakAfterRound;
        content.rounds = breakAfterRound + 2;
        content.isBreak = true;
    }
    if (challenge != StrictModeType::none) {
        content.strictModeEnabled = true;
        content.strictModeType = challenge;
        content.strictModeSentence = QCoreApplication::translate(
            "Snapshot", "I choose to stay with this work until the timer ends, one calm step at a time.");
    }
    auto *view = new FocusOverlayView(content, window);
    view->setScreenGrab(OverlayWindows::grabScreen(screen));
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view);
    if (screen)
        window->setGeometry(screen->geometry());
    window->show();
    OverlayWindows::setClickThrough(window, lockMode != LockMode::overlay);
    window->raise();
    window->activateWindow();
    if (challenge != StrictModeType::none) {
        if (auto *exit = view->findChild<QAbstractButton *>(QStringLiteral("exitChallengeButton")))
            exit->click();
    }
    return window;
}

void runIfRequested(AppModel &model, const std::function<void()> &openSettings, Appearance *appearance,
                    GridProbes *probes, PlatformServices &platform, ShellWindows shellWindows)
{
    const QString directory = qEnvironmentVariable("APP_SNAPSHOT");
    if (directory.isEmpty())
        return;
    // Once per process, however often the main window's content appears.
    static bool started = false;
    if (std::exchange(started, true))
        return;
    if (!Store::isOverridden()) {
        printLine(QStringLiteral("SNAPSHOT refused: set APP_STORE to a file in /tmp"));
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [] { QCoreApplication::exit(1); }, Qt::QueuedConnection);
        return;
    }
    std::optional<QString> pagesVariable;
    if (qEnvironmentVariableIsSet("APP_SNAPSHOT_PAGES"))
        pagesVariable = qEnvironmentVariable("APP_SNAPSHOT_PAGES");
    auto *run = new Run(model, openSettings, appearance, probes, directory, requestedPages(pagesVariable),
                        platform.inhibitDisplaySleep(QStringLiteral("Snapshots")), std::move(shellWindows));
    run->start();
}

} // namespace Snapshot
