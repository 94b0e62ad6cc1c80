// SPDX-License-Identifier: MIT
// The X11 hot-key backend against a real X server: a private Xvfb started by
// this test, key presses sent by xdotool. Skipped when either is missing.
#include "GlobalShortcut.h"
#include "HotKey.h"
#include "HotKeysController.h"
#include "X11HotKeyBackend.h"
#include "XcbReply.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <X11/Xlib.h>

namespace {

constexpr int kServerStartTimeoutMs = 10000;

// An Xvfb on a free display number, which it picks and reports itself.
class PrivateXServer
{
public:
    bool start()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
            return false;
        int fds[2];
        if (::pipe(fds) != 0)
            return false;
        const std::string fd = std::to_string(fds[1]);
        m_pid = ::fork();
        if (m_pid == 0) {
            // The server goes when this test goes, however it ends.
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            ::close(fds[0]);
            const int devNull = ::open("/dev/null", O_WRONLY);
            ::dup2(devNull, STDERR_FILENO);
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x480x24", "-nolisten",
                     "tcp", static_cast<char *>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        if (m_pid < 0) {
            ::close(fds[0]);
            return false;
        }
        std::string number;
        pollfd readable{fds[0], POLLIN, 0};
        char c = 0;
        while (::poll(&readable, 1, kServerStartTimeoutMs) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(fds[0]);
        if (number.empty())
            return false;
        m_display = QStringLiteral(":") + QString::fromStdString(number);
        return true;
    }

    QString display() const { return m_display; }

    ~PrivateXServer()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }

private:
    pid_t m_pid = -1;
    QString m_display;
};

QString g_skipReason;

constexpr ModifierFlags kCmdShift = ModifierFlag::command | ModifierFlag::shift;

} // namespace

class TestX11HotKey : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        if (!g_skipReason.isEmpty())
            QSKIP(qPrintable(g_skipReason));
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("xdotool is not installed");
        // A refused grab must not surface as an X error in Qt's log.
        QTest::failOnWarning(QRegularExpression(QStringLiteral("XCB error")));
    }

    void init()
    {
        m_backend = std::make_unique<X11HotKeyBackend>();
        QVERIFY(m_backend->isAvailable());
        m_hotKeys = std::make_unique<HotKeysController>(m_backend.get());
        // A second combination whose arrival shows that earlier presses have
        // been processed.
        m_sentinel =
            std::make_unique<HotKey>(m_hotKeys.get(), Key::z, kCmdShift, [this] { ++m_sentinelPresses; });
        m_sentinelPresses = 0;
    }

    void cleanup()
    {
        // Back to the server's own keymap (which has Scroll Lock on no
        // modifier) for the next test.
        run(QStringLiteral("setxkbmap"), {QStringLiteral("us")});
        m_sentinel.reset();
        m_hotKeys.reset();
        m_backend.reset();
    }

    void pressAndReleaseArrive()
    {
        int down = 0;
        int up = 0;
        HotKey hotKey(
            m_hotKeys.get(), Key::f, kCmdShift, [&down] { ++down; }, [&up] { ++up; });
        QVERIFY(m_hotKeys->hotKeys().last().backendReference.has_value());
        press("super+shift+f");
        QTRY_COMPARE(down, 1);
        QTRY_COMPARE(up, 1);
    }

    // Scroll Lock is on no modifier in the default keymap; many layouts put
    // it on Mod3, which this test does after registering, so the grab must
    // follow the changed modifier map as well.
    void pressArrivesWithLocksOn_data()
    {
        QTest::addColumn<QStringList>("locks");
        QTest::newRow("caps lock") << QStringList{QStringLiteral("Caps_Lock")};
        QTest::newRow("num lock") << QStringList{QStringLiteral("Num_Lock")};
        QTest::newRow("scroll lock") << QStringList{QStringLiteral("Scroll_Lock")};
        QTest::newRow("all three") << QStringList{QStringLiteral("Caps_Lock"), QStringLiteral("Num_Lock"),
                                                  QStringLiteral("Scroll_Lock")};
    }
    void pressArrivesWithLocksOn()
    {
        QFETCH(QStringList, locks);
        int down = 0;
        HotKey hotKey(m_hotKeys.get(), Key::f, kCmdShift, [&down] { ++down; });
        run(QStringLiteral("xmodmap"), {QStringLiteral("-e"), QStringLiteral("add mod3 = Scroll_Lock")});
        const auto toggleLocks = [this, &locks] {
            for (const QString &lock : std::as_const(locks))
                press(lock);
        };
        toggleLocks();
        // Off again for the next test, whatever happens here.
        const auto locksOff = qScopeGuard(toggleLocks);
        QVERIFY(pressUntilArrived(QStringLiteral("super+shift+f"), down));
    }

    // Another layout moves keys to other keycodes (z and y trade places in
    // the German one): the registrations follow their keys there and back.
    void registrationsFollowTheLayout()
    {
        int down = 0;
        HotKey hotKey(m_hotKeys.get(), Key::y, kCmdShift, [&down] { ++down; });
        press("super+shift+y");
        QTRY_COMPARE(down, 1);
        for (const QString &layout : {QStringLiteral("de"), QStringLiteral("us")}) {
            run(QStringLiteral("setxkbmap"), {layout});
            QVERIFY2(pressUntilArrived(QStringLiteral("super+shift+y"), down), qPrintable(layout));
        }
        // The sentinel on z moved as well, and no old grab is left behind.
        // Presses made before a re-grab may have reached the sentinel through
        // its old keycode, so it counts from here.
        m_sentinelPresses = 0;
        const int shortcutPresses = down;
        press("super+shift+z");
        QTRY_COMPARE(m_sentinelPresses, 1);
        QCOMPARE(down, shortcutPresses);
    }

    void keysArrive_data()
    {
        QTest::addColumn<Key>("key");
        QTest::addColumn<QString>("keysym");
        QTest::newRow("space") << Key::space << "space";
        QTest::newRow("return") << Key::return_ << "Return";
        QTest::newRow("left arrow") << Key::leftArrow << "Left";
        QTest::newRow("f5") << Key::f5 << "F5";
        QTest::newRow("grave") << Key::grave << "grave";
        QTest::newRow("minus") << Key::minus << "minus";
        QTest::newRow("escape") << Key::escape << "Escape";
        QTest::newRow("delete") << Key::delete_ << "BackSpace";
        QTest::newRow("nine") << Key::nine << "9";
    }
    void keysArrive()
    {
        QFETCH(Key, key);
        QFETCH(QString, keysym);
        int down = 0;
        HotKey hotKey(m_hotKeys.get(), key, kCmdShift, [&down] { ++down; });
        press(QStringLiteral("super+shift+") + keysym);
        QTRY_COMPARE(down, 1);
    }

    void otherModifiersDoNotFire()
    {
        int down = 0;
        HotKey hotKey(m_hotKeys.get(), Key::f, kCmdShift, [&down] { ++down; });
        press("super+f");
        press("ctrl+super+shift+f");
        press("super+shift+z");
        QTRY_COMPARE(m_sentinelPresses, 1);
        QCOMPARE(down, 0);
    }

    void pausedAndReleasedHotKeysDoNotFire()
    {
        int down = 0;
        auto hotKey = std::make_unique<HotKey>(m_hotKeys.get(), Key::f, kCmdShift, [&down] { ++down; });
        hotKey->setPaused(true);
        press("super+shift+f");
        press("super+shift+z");
        QTRY_COMPARE(m_sentinelPresses, 1);
        QCOMPARE(down, 0);

        hotKey->setPaused(false);
        press("super+shift+f");
        QTRY_COMPARE(down, 1);

        hotKey.reset();
        press("super+shift+f");
        press("super+shift+z");
        QTRY_COMPARE(m_sentinelPresses, 2);
        QCOMPARE(down, 1);
    }

    void combinationHeldByAnotherClientIsRefusedSilently()
    {
        // Another program grabs Ctrl+Alt+G first.
        xcb_connection_t *other = xcb_connect(nullptr, nullptr);
        QVERIFY(!xcb_connection_has_error(other));
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
        const quint32 keysym = xkbKeysym(Key::g)->value;

        xcb_keycode_t keycode = 0;
        {
            const xcb_setup_t *setup = xcb_get_setup(other);
            const XcbReply<xcb_get_keyboard_mapping_reply_t> reply(xcb_get_keyboard_mapping_reply(
                other,
                xcb_get_keyboard_mapping(other, setup->min_keycode,
                                         setup->max_keycode - setup->min_keycode + 1),
                nullptr));
            QVERIFY(reply);
            const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(reply.get());
            for (int k = setup->min_keycode; k <= setup->max_keycode && !keycode; ++k)
                if (syms[(k - setup->min_keycode) * reply->keysyms_per_keycode] == keysym)
                    keycode = xcb_keycode_t(k);
        }
        QVERIFY(keycode);
        const uint16_t ctrlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
        const XcbError error(
            xcb_request_check(other, xcb_grab_key_checked(other, 0, root, ctrlAlt, keycode,
                                                          XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)));
        QVERIFY(!error);

        int down = 0;
        HotKey hotKey(m_hotKeys.get(), Key::g, ModifierFlag::control | ModifierFlag::option,
                      [&down] { ++down; });
        QCOMPARE(m_hotKeys->hotKeys().last().backendReference, std::nullopt);
        press("ctrl+alt+g");
        press("super+shift+z");
        QTRY_COMPARE(m_sentinelPresses, 1);
        QCOMPARE(down, 0);
        xcb_disconnect(other);

        // Once the other program is gone, the same combination can be had.
        HotKey again(m_hotKeys.get(), Key::g, ModifierFlag::control | ModifierFlag::option,
                     [&down] { ++down; });
        QVERIFY(m_hotKeys->hotKeys().last().backendReference.has_value());
    }

    void globalShortcutShowsThroughTheQueue()
    {
        QObject owner;
        int shown = 0;
        std::unique_ptr<HotKey> hotKey;
        registerGlobalHotKey(*m_hotKeys, QString::fromUtf8("⌃⌥⌘F"), hotKey, &owner, [&shown] { ++shown; });
        QVERIFY(hotKey);
        press("ctrl+alt+super+f");
        QTRY_COMPARE(shown, 1);
    }

    // The one keysym table names every key as X11 does: its number and its
    // name are the same keysym, and the name is the one the portals' trigger
    // strings use.
    void keysymTableAgreesWithX11()
    {
        for (Key key : allCases<Key>()) {
            const auto keysym = xkbKeysym(key);
            QCOMPARE(keysym.has_value(), key != Key::function);
            if (!keysym)
                continue;
            QCOMPARE(XStringToKeysym(keysym->name), KeySym(keysym->value));
            QCOMPARE(QString::fromLatin1(XKeysymToString(keysym->value)), QString::fromLatin1(keysym->name));
        }
        // A key with no keysym is refused, not grabbed as keycode 0.
        QCOMPARE(m_backend->registerHotKey(Key::function, ModifierFlag::command, {}), std::nullopt);
    }

private:
    void run(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        process.start(program, arguments);
        QVERIFY2(process.waitForFinished(), qPrintable(program));
        QCOMPARE(process.exitCode(), 0);
    }

    // A changed keymap reaches the backend through the event loop, after the
    // tool that changed it is gone: presses until one arrives (a stale grab
    // lets none through), waiting for each.
    bool pressUntilArrived(const QString &keys, int &presses)
    {
        const int before = presses;
        QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            press(keys);
            if (QTest::qWaitFor([&] { return presses > before; }, 500))
                return true;
        }
        return false;
    }

    void press(const QString &keys)
    {
        QProcess xdotool;
        xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("key"), keys});
        QVERIFY(xdotool.waitForFinished());
        QCOMPARE(xdotool.exitCode(), 0);
    }

    std::unique_ptr<X11HotKeyBackend> m_backend;
    std::unique_ptr<HotKeysController> m_hotKeys;
    std::unique_ptr<HotKey> m_sentinel;
    int m_sentinelPresses = 0;
};

int main(int argc, char *argv[])
{
    PrivateXServer server;
    if (server.start()) {
        qputenv("DISPLAY", server.display().toLocal8Bit());
        qputenv("QT_QPA_PLATFORM", "xcb");
    } else {
        g_skipReason = QStringLiteral("Xvfb is not installed or did not start");
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int status = 0;
    {
        QGuiApplication app(argc, argv);
        TestX11HotKey test;
        status = QTest::qExec(&test, argc, argv);
    }
    return status;
}

#include "tst_hotkey_x11.moc"
