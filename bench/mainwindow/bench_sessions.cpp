// SPDX-License-Identifier: MIT
// Opens the main window on the "Sessions" page over a store of 100,000
// sessions and prints how long the first paint and a top-to-bottom scroll
// take. Targets: first paint under 150 ms, scroll under 1 s.
//   bench_mainwindow_sessions [session count]
#include "AppModel.h"
#include "Appearance.h"
#include "ContentView.h"
#include "FocusScreen.h"
#include "FocusSession.h"
#include "FocusSessionList.h"
#include "GridProbes.h"
#include "ModelContainer.h"
#include "ModelContext.h"
#include "Store.h"
#include "ThemeStore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QMainWindow>
#include <QScrollBar>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>

namespace {
constexpr int kDefaultSessions = 100000;
constexpr int kScreens = 8;
constexpr int kScrollFrames = 120; // two seconds of dragging the scroll bar at 60 frames a second
constexpr int kPageSteps = 500;

double ms(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Writes the sessions straight into the file in one transaction, the way a
// long-used store would hold them.
bool fillStore(const QString &path, int sessions)
{
    QList<QUuid> screenIds;
    {
        QString error;
        auto container = ModelContainer::open(path, Store::schema(), &error);
        if (!container) {
            std::fprintf(stderr, "cannot create store: %s\n", qPrintable(error));
            return false;
        }
        for (int i = 0; i < kScreens; ++i)
            screenIds << container->mainContext()
                             ->insert(std::make_unique<FocusScreen>(QStringLiteral("Screen %1").arg(i), 1500))
                             ->uuid();
        container->mainContext()->save();
    }
    screenIds << QUuid::createUuid(); // sessions of a deleted screen

    const EntityInfo &info = FocusSession::entityInfo();
    QStringList names{QStringLiteral("id")};
    QStringList marks{QStringLiteral("?")};
    for (const ColumnInfo &column : info.columns) {
        names << QString::fromLatin1(column.name);
        marks << QStringLiteral("?");
    }
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(path);
        ok = db.open() && db.transaction();
        QSqlQuery insert(db);
        ok = ok && insert.prepare(QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                                      .arg(info.name, names.join(u','), marks.join(u',')));
        const QDateTime now = QDateTime::currentDateTimeUtc();
        for (int i = 0; ok && i < sessions; ++i) {
            FocusSession session(screenIds[i % screenIds.size()],
                                 now.addSecs(-qint64(i) * 3600 - (i % 7) * 61));
            if (i % 5 != 0)
                session.complete(session.startTime().addSecs(300 + (i % 3000)));
            insert.addBindValue(i + 1);
            for (const ColumnInfo &column : info.columns)
                insert.addBindValue(column.get(session));
            ok = insert.exec();
        }
        if (!ok)
            std::fprintf(stderr, "fill failed: %s\n", qPrintable(insert.lastError().text()));
        insert.finish();
        ok = ok && db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    return ok;
}

// Counts paints of a widget.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int sessions = argc > 1 ? std::max(0, QByteArray(argv[1]).toInt()) : kDefaultSessions;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Lumora.store"));
    QElapsedTimer timer;
    timer.start();
    if (!fillStore(path, sessions))
        return 1;
    std::printf("store with %d sessions written in %.0f ms (setup, not measured)\n", sessions, ms(timer));

    timer.restart();
    QString error;
    auto container = ModelContainer::open(path, Store::schema(), &error);
    if (!container)
        return 1;
    AppModel model(container.get());
    model.setSidebar(SidebarItem::sessions);
    const double openMs = ms(timer);

    // From building the window to the session list's first paint.
    timer.restart();
    Appearance look;
    ThemeStore themes(&look);
    GridProbes probes;
    QMainWindow window;
    auto *content = new ContentView(&model, &themes, &probes, nullptr);
    window.setCentralWidget(content);
    window.resize(1100, 720);
    QListView *view = content->sessionList()->view();
    PaintCounter counter;
    view->viewport()->installEventFilter(&counter);
    const double builtMs = ms(timer);
    window.show();
    while (counter.paints == 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const double firstPaintMs = ms(timer);

    // Dragging the scroll bar from the top to the bottom, one repaint per frame.
    QScrollBar *bar = view->verticalScrollBar();
    const int range = bar->maximum() - bar->minimum();
    double worstFrame = 0;
    timer.restart();
    for (int frame = 1; frame <= kScrollFrames; ++frame) {
        QElapsedTimer frameTimer;
        frameTimer.start();
        bar->setValue(bar->minimum() + int(qint64(range) * frame / kScrollFrames));
        view->viewport()->repaint();
        worstFrame = std::max(worstFrame, ms(frameTimer));
    }
    const double dragMs = ms(timer);
    const int lastRow = view->indexAt(view->viewport()->rect().bottomLeft() + QPoint(1, -1)).row();

    // Paging down with the keyboard from the top.
    bar->setValue(bar->minimum());
    double worstPage = 0;
    timer.restart();
    for (int step = 0; step < kPageSteps; ++step) {
        QElapsedTimer pageTimer;
        pageTimer.start();
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        view->viewport()->repaint();
        worstPage = std::max(worstPage, ms(pageTimer));
    }
    const double pagesMs = ms(timer);

    // A session finishes while the list is open: re-sort and redraw.
    timer.restart();
    model.sessions().first()->complete(QDateTime::currentDateTimeUtc());
    QCoreApplication::processEvents();
    view->viewport()->repaint();
    const double refreshMs = ms(timer);

    std::printf("open store (%d sessions)        %8.1f ms\n", sessions, openMs);
    std::printf("build window                     %8.1f ms\n", builtMs);
    std::printf("time to first paint              %8.1f ms   (target < 150 ms)\n", firstPaintMs);
    std::printf("scroll top to bottom (%d frames) %8.1f ms   (target < 1000 ms), worst frame %.2f ms, "
                "last row %d\n",
                kScrollFrames, dragMs, worstFrame, lastRow);
    std::printf("page down x%d                   %8.1f ms   (%.3f ms a page, worst %.2f ms)\n", kPageSteps,
                pagesMs, pagesMs / kPageSteps, worstPage);
    std::printf("one session completes, list redrawn %6.1f ms\n", refreshMs);
    std::printf("paints of the list: %d\n", counter.paints);
    return 0;
}
