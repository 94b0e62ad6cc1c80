// SPDX-License-Identifier: MIT
// sway's IPC messages: framing, splitting a stream, reading the layout tree
// and command replies.
#include "SwayIpc.h"

#include <QHash>
#include <QJsonDocument>
#include <QtTest>

namespace {

QByteArray header(const char *magic, quint32 length, quint32 type)
{
    QByteArray out(magic, 6);
    out.append(reinterpret_cast<const char *>(&length), 4);
    out.append(reinterpret_cast<const char *>(&type), 4);
    return out;
}

// JSON written with ' for " (kept readable in C++ literals).
QByteArray j(const char *text)
{
    QByteArray out(text);
    out.replace('\'', '"');
    return out;
}

QJsonObject json(const char *text)
{
    return QJsonDocument::fromJson(j(text)).object();
}

// A tree as sway 1.7 reports it: two outputs, a split with two tiled
// windows, a floating XWayland window, a window in the scratchpad.
const char *kTree =
    "{'id':1,'type':'root','nodes':["
    "  {'id':2147483647,'type':'output','name':'__i3','nodes':["
    "    {'id':2147483646,'type':'workspace','name':'__i3_scratch','nodes':[],'floating_nodes':["
    "      {'id':9,'type':'floating_con','app_id':'mail','pid':300,'nodes':[],'floating_nodes':[]}]}]},"
    "  {'id':3,'type':'output','name':'HEADLESS-1','nodes':["
    "    {'id':4,'type':'workspace','name':'1: web','nodes':["
    "      {'id':5,'type':'con','app_id':null,'nodes':["
    "        {'id':6,'type':'con','app_id':'foot','pid':100,'nodes':[],'floating_nodes':[]},"
    "        {'id':7,'type':'con','app_id':'org.gnome.Nautilus','pid':200,'nodes':[],'floating_nodes':[]}],"
    "       'floating_nodes':[]}],"
    "     'floating_nodes':["
    "      {'id':8,'type':'floating_con','app_id':null,'pid':400,"
    "       "
    "'window_properties':{'class':'XTerm','instance':'xterm','title':'x'},'nodes':[],'floating_nodes':[]}]}]}"
    ","
    "  {'id':10,'type':'output','name':'HEADLESS-2','nodes':["
    "    {'id':11,'type':'workspace','name':'2','nodes':[],'floating_nodes':[]}]}]}";

// Two outputs showing workspaces 1 and 2 (3 is on the first, hidden); the
// focus went last to the first output, where a tabbed container holds two
// windows, the second with the focus before the overlay (this process's
// window 20, full screen) took it; a floating window with a mark.
const char *kFocusTree =
    "{'id':1,'type':'root','focus':[3,10,2147483647],'nodes':["
    "  {'id':2147483647,'type':'output','name':'__i3','focus':[2147483646],'nodes':["
    "    {'id':2147483646,'type':'workspace','name':'__i3_scratch','nodes':[],'floating_nodes':[]}]},"
    "  {'id':3,'type':'output','name':'HEADLESS-1','current_workspace':'1','focus':[4,12],'nodes':["
    "    {'id':4,'type':'workspace','name':'1','layout':'splith','focus':[20,5,8],'nodes':["
    "      {'id':5,'type':'con','layout':'tabbed','focus':[7,6],'nodes':["
    "        {'id':6,'type':'con','app_id':'a','pid':100,'nodes':[],'floating_nodes':[]},"
    "        {'id':7,'type':'con','app_id':'b','pid':101,'nodes':[],'floating_nodes':[]}]},"
    "      {'id':20,'type':'con','name':'Lumora','app_id':'lumora','pid':1,'focused':true,"
    "       "
    "'fullscreen_mode':1,'rect':{'x':0,'y':0,'width':1280,'height':800},'nodes':[],'floating_nodes':[]}],"
    "     'floating_nodes':["
    "      {'id':8,'type':'floating_con','app_id':'c','pid':102,'marks':['_lumora_fullscreen_global_8'],"
    "       'rect':{'x':200,'y':150,'width':500,'height':275},'nodes':[],'floating_nodes':[]}]},"
    "    {'id':12,'type':'workspace','name':'3','focus':[13],'nodes':["
    "      {'id':13,'type':'con','app_id':'d','pid':103,'nodes':[],'floating_nodes':[]}]}]},"
    "  {'id':10,'type':'output','name':'HEADLESS-2','current_workspace':'2','focus':[11],'nodes':["
    "    {'id':11,'type':'workspace','name':'2','focus':[14],'nodes':["
    "      {'id':14,'type':'con','app_id':'e','pid':104,'nodes':[],'floating_nodes':[]}]}]}]}";

} // namespace

class TestSwayIpc : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void encodesMessages_data()
    {
        QTest::addColumn<quint32>("type");
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("get_tree, no payload") << quint32(SwayIpc::getTree) << QByteArray();
        QTest::newRow("run_command") << quint32(SwayIpc::runCommand)
                                     << QByteArray("[con_id=7] move scratchpad");
    }

    void encodesMessages()
    {
        QFETCH(quint32, type);
        QFETCH(QByteArray, payload);
        const QByteArray bytes = SwayIpc::encode(type, payload);
        QCOMPARE(bytes, header("i3-ipc", quint32(payload.size()), type) + payload);

        // What goes out comes back whole, however the stream is cut.
        for (qsizetype cut = 0; cut <= bytes.size(); ++cut) {
            SwayIpc::Decoder decoder;
            decoder.feed(bytes.left(cut));
            if (cut < bytes.size()) {
                QVERIFY(!decoder.next());
                decoder.feed(bytes.mid(cut));
            }
            const auto message = decoder.next();
            QVERIFY2(message, qPrintable(QStringLiteral("cut at %1").arg(cut)));
            QCOMPARE(message->type, type);
            QCOMPARE(message->payload, payload);
            QVERIFY(!decoder.next());
            QVERIFY(!decoder.failed());
        }
    }

    void splitsStreams_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QList<quint32>>("types");
        QTest::addColumn<bool>("failed");
        const QByteArray event = SwayIpc::encode(SwayIpc::windowEvent, j("{'change':'new'}"));
        const QByteArray reply = SwayIpc::encode(SwayIpc::runCommand, j("[{'success':true}]"));
        QTest::newRow("two in one piece")
            << event + reply << QList<quint32>{SwayIpc::windowEvent, 0u} << false;
        QTest::newRow("one and a half")
            << event + reply.left(9) << QList<quint32>{SwayIpc::windowEvent} << false;
        QTest::newRow("wrong magic") << header("i3-ipX", 2, 0) + "[]" << QList<quint32>{} << true;
        QTest::newRow("wrong magic, header incomplete") << QByteArray("xx-") << QList<quint32>{} << true;
        QTest::newRow("absurd length") << header("i3-ipc", 0xFFFFFFF0u, 0) << QList<quint32>{} << true;
        QTest::newRow("garbage after a message")
            << reply + QByteArray("HTTP/1.1") << QList<quint32>{SwayIpc::runCommand} << true;
    }

    void splitsStreams()
    {
        QFETCH(QByteArray, stream);
        QFETCH(QList<quint32>, types);
        QFETCH(bool, failed);
        SwayIpc::Decoder decoder;
        decoder.feed(stream);
        QList<quint32> seen;
        while (const auto message = decoder.next())
            seen << message->type;
        QCOMPARE(seen, types);
        QCOMPARE(decoder.failed(), failed);
    }

    void readsTheTree()
    {
        const auto windows = SwayIpc::windows(json(kTree));
        QStringList seen;
        for (const auto &w : windows)
            seen << QStringLiteral("%1 %2/%3/%4 pid=%5 ws=%6 %7%8")
                        .arg(w.id)
                        .arg(w.appId, w.windowClass, w.windowInstance)
                        .arg(w.pid ? QString::number(*w.pid) : QStringLiteral("-"), w.workspace,
                             w.floating ? QStringLiteral("floating") : QStringLiteral("tiled"),
                             w.inScratchpad() ? QStringLiteral(" scratchpad") : QString());
        QCOMPARE(seen, (QStringList{
                           "9 mail// pid=300 ws=__i3_scratch floating scratchpad",
                           "6 foot// pid=100 ws=1: web tiled",
                           "7 org.gnome.Nautilus// pid=200 ws=1: web tiled",
                           "8 /XTerm/xterm pid=400 ws=1: web floating",
                       }));
    }

    // What a window is like where it is: the container it is in, its
    // neighbours there, its output, geometry and full screen (a mark of
    // one the overlays took included); and the view of the whole tree.
    void readsWhereWindowsAre()
    {
        QHash<qint64, SwayIpc::Window> byId;
        for (const auto &w : SwayIpc::windows(json(kFocusTree)))
            byId.insert(w.id, w);
        QCOMPARE(byId.value(6).parentLayout, QStringLiteral("tabbed"));
        QCOMPARE(byId.value(6).previous, 0);
        QCOMPARE(byId.value(6).next, 7);
        QCOMPARE(byId.value(7).previous, 6);
        QCOMPARE(byId.value(7).next, 0);
        QCOMPARE(byId.value(7).output, QStringLiteral("HEADLESS-1"));
        QCOMPARE(byId.value(14).output, QStringLiteral("HEADLESS-2"));
        QVERIFY(byId.value(20).fullscreen && !byId.value(20).fullscreenGlobal);
        QCOMPARE(byId.value(20).title, QStringLiteral("Lumora"));
        QCOMPARE(byId.value(8).rect, QRect(200, 150, 500, 275));
        bool global = false;
        QVERIFY(byId.value(8).lostFullScreen(&global));
        QVERIFY(global);
        QVERIFY(!byId.value(7).lostFullScreen());
        // A mark of another window's number is not this one's.
        SwayIpc::Window other = byId.value(7);
        other.marks = {SwayIpc::fullScreenMark(8, false)};
        QVERIFY(!other.lostFullScreen());

        // What the user sees: the workspace each output shows, and the focus.
        const auto view = SwayIpc::view(json(kFocusTree));
        QCOMPARE(view.visible, (QHash<QString, QString>{{"HEADLESS-1", "1"}, {"HEADLESS-2", "2"}}));
        QCOMPARE(view.focusedOutput, QStringLiteral("HEADLESS-1"));
        QCOMPARE(view.focused, 20);
    }

    void findsTheWindowFocusedLast_data()
    {
        QTest::addColumn<QList<qint64>>("skipped");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("any window") << QList<qint64>{} << qint64(20);
        QTest::newRow("not this process's") << QList<qint64>{20} << qint64(7);
        QTest::newRow("down the focus order") << QList<qint64>{20, 7} << qint64(6);
        // Not on a workspace no output shows (3's window 13).
        QTest::newRow("then the other output") << QList<qint64>{20, 7, 6, 8} << qint64(14);
        QTest::newRow("none") << QList<qint64>{20, 7, 6, 8, 14} << qint64(0);
    }

    void findsTheWindowFocusedLast()
    {
        QFETCH(QList<qint64>, skipped);
        QFETCH(qint64, expected);
        QCOMPARE(SwayIpc::lastFocused(json(kFocusTree), [&](qint64 id) { return !skipped.contains(id); }),
                 expected);
    }

    // Each output gets its workspace back (made again there if it has gone),
    // the focused output last, then the focused window, unless it is away.
    void restoresTheView()
    {
        SwayIpc::View view;
        view.visible = {{"HEADLESS-2", "2"}, {"HEADLESS-1", "1: \"web\""}};
        view.focusedOutput = QStringLiteral("HEADLESS-1");
        view.focused = 7;
        const QStringList expected{
            "focus output \"HEADLESS-2\"",
            "workspace --no-auto-back-and-forth \"2\"",
            "focus output \"HEADLESS-1\"",
            "workspace --no-auto-back-and-forth \"1: \\\"web\\\"\"",
        };
        QCOMPARE(SwayIpc::restoreView(view), expected + QStringList{"[con_id=7] focus"});
        QCOMPARE(SwayIpc::restoreView(view, {7}), expected);
    }

    // The mark of a window floated above the overlays names its old
    // neighbours; a mark of another window, or a broken one, is no such mark.
    void readsFloatedMarks_data()
    {
        QTest::addColumn<QString>("mark");
        QTest::addColumn<bool>("floated");
        QTest::addColumn<qint64>("previous");
        QTest::addColumn<qint64>("next");
        QTest::newRow("both neighbours") << SwayIpc::floatedMark(7, 6, 8) << true << qint64(6) << qint64(8);
        QTest::newRow("alone") << SwayIpc::floatedMark(7, 0, 0) << true << qint64(0) << qint64(0);
        QTest::newRow("another window's")
            << SwayIpc::floatedMark(70, 6, 8) << false << qint64(0) << qint64(0);
        QTest::newRow("cut short") << QStringLiteral("_lumora_floated_7_6") << false << qint64(0)
                                   << qint64(0);
        QTest::newRow("not numbers") << QStringLiteral("_lumora_floated_7_a_b") << false << qint64(0)
                                     << qint64(0);
        QTest::newRow("a full-screen mark")
            << SwayIpc::fullScreenMark(7, false) << false << qint64(0) << qint64(0);
    }
    void readsFloatedMarks()
    {
        QFETCH(QString, mark);
        QFETCH(bool, floated);
        QFETCH(qint64, previous);
        QFETCH(qint64, next);
        SwayIpc::Window window;
        window.id = 7;
        window.marks = {QStringLiteral("user mark"), mark};
        qint64 before = -1;
        qint64 after = -1;
        QCOMPARE(window.floatedAbove(&before, &after), floated);
        if (floated) {
            QCOMPARE(before, previous);
            QCOMPARE(after, next);
        }
    }

    // A window goes back after its previous neighbour, else before its next
    // one (moved after it, then swapped), else to the end of its workspace;
    // a neighbour that is not tiled there any more is no anchor.
    void tilesBack_data()
    {
        QTest::addColumn<qint64>("previous");
        QTest::addColumn<qint64>("next");
        QTest::addColumn<QList<qint64>>("anchors");
        QTest::addColumn<QStringList>("expected");
        const QString off = QStringLiteral("[con_id=7] floating disable");
        QTest::newRow("after the previous")
            << qint64(6) << qint64(8) << QList<qint64>{6, 8}
            << QStringList{off, "[con_id=6] mark --add _lumora_anchor_7",
                           "[con_id=7] move container to mark _lumora_anchor_7", "unmark _lumora_anchor_7"};
        QTest::newRow("before the next")
            << qint64(6) << qint64(8) << QList<qint64>{8}
            << QStringList{off, "[con_id=8] mark --add _lumora_anchor_7",
                           "[con_id=7] move container to mark _lumora_anchor_7", "unmark _lumora_anchor_7",
                           "[con_id=7] swap container with con_id 8"};
        QTest::newRow("no neighbour left") << qint64(6) << qint64(8) << QList<qint64>{} << QStringList{off};
        QTest::newRow("itself") << qint64(7) << qint64(0) << QList<qint64>{7} << QStringList{off};
    }
    void tilesBack()
    {
        QFETCH(qint64, previous);
        QFETCH(qint64, next);
        QFETCH(QList<qint64>, anchors);
        QFETCH(QStringList, expected);
        QCOMPARE(SwayIpc::tileBack(7, previous, next, [&](qint64 id) { return anchors.contains(id); }),
                 expected);
    }

    void readsOutputRectangles()
    {
        const char *tree =
            "{'id':1,'type':'root','nodes':["
            "  {'id':2,'type':'output','name':'__i3','rect':{'x':0,'y':0,'width':1920,'height':1080}},"
            "  {'id':3,'type':'output','name':'HEADLESS-1','rect':{'x':0,'y':0,'width':1280,'height':800}},"
            "  {'id':4,'type':'output','name':'HEADLESS-2',"
            "   'rect':{'x':-1024,'y':0,'width':1024,'height':768}}]}";
        QCOMPARE(SwayIpc::outputRects(json(tree)),
                 (QHash<QString, QRect>{{"HEADLESS-1", QRect(0, 0, 1280, 800)},
                                        {"HEADLESS-2", QRect(-1024, 0, 1024, 768)}}));
    }

    // Odd nodes give no window, or one without a process.
    void readsOddTrees_data()
    {
        QTest::addColumn<QByteArray>("tree");
        QTest::addColumn<int>("count");
        const auto onWorkspace = [](const char *con) {
            return j("{'type':'workspace','name':'1','nodes':[") + j(con) + "]}";
        };
        QTest::newRow("empty object") << QByteArray("{}") << 0;
        QTest::newRow("no pid") << onWorkspace("{'id':5,'type':'con','app_id':'a','nodes':[]}") << 1;
        QTest::newRow("negative pid")
            << onWorkspace("{'id':5,'type':'con','app_id':'a','pid':-1,'nodes':[]}") << 1;
        QTest::newRow("no id") << onWorkspace("{'type':'con','app_id':'a','pid':3,'nodes':[]}") << 0;
        QTest::newRow("empty split is no window")
            << onWorkspace("{'id':5,'type':'con','app_id':null,'nodes':[]}") << 0;
        QTest::newRow("nodes of the wrong type") << j("{'type':'root','nodes':'x','floating_nodes':7}") << 0;
    }
    void readsOddTrees()
    {
        QFETCH(QByteArray, tree);
        QFETCH(int, count);
        const auto windows = SwayIpc::windows(QJsonDocument::fromJson(tree).object());
        QCOMPARE(windows.size(), count);
        if (count > 0)
            QVERIFY(!windows.first().pid.has_value());
    }

    void quotesWorkspaceNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("quoted");
        QTest::newRow("blanks and colon") << "2: mail"
                                          << "\"2: mail\"";
        QTest::newRow("quote") << "say \"hi\""
                               << "\"say \\\"hi\\\"\"";
        QTest::newRow("backslash and semicolon") << "a\\b; exec x"
                                                 << "\"a\\\\b; exec x\"";
    }

    void quotesWorkspaceNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, quoted);
        QCOMPARE(SwayIpc::quoted(name), quoted);
    }

    void readsCommandReplies_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("succeeded");
        QTest::addColumn<QString>("error");
        QTest::newRow("all succeeded") << j("[{'success':true},{'success':true}]") << true << "";
        QTest::newRow("second failed")
            << j("[{'success':true},{'success':false,'error':'No matching node.'}]") << false
            << "No matching node.";
        QTest::newRow("failure without text") << j("[{'success':false}]") << false << "command failed";
        QTest::newRow("empty list") << QByteArray("[]") << false << "unreadable reply";
        QTest::newRow("not JSON") << QByteArray("oops") << false << "unreadable reply";
    }

    void readsCommandReplies()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, succeeded);
        QFETCH(QString, error);
        QString seen;
        QCOMPARE(SwayIpc::succeeded(reply, &seen), succeeded);
        QCOMPARE(seen, error);
    }
};

QTEST_GUILESS_MAIN(TestSwayIpc)
#include "tst_swayipc.moc"
