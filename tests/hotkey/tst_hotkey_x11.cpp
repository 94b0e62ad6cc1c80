// SPDX-License-Identifier: MIT
// The X11 hot-key backend against a real X server: a private Xvfb started by
// this test, key presses sent by xdotool. Skipped when either is missing.
#include "GlobalShortcut.h"
#include "HotKey.h"
#include "HotKeysController.h"
#include "X11HotKeyBackend.h"
#include "XcbReply.h"

#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
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
        QVERIFY(m_hotKeys->hotKeys().last().carbonEventHotKey.has_value());
        press("super+shift+f");
        QTRY_COMPARE(down, 1);
        QTRY_COMPARE(up, 1);
    }

    void pressArrivesWithLocksOn_data()
    {
        QTest::addColumn<QString>("lock");
        QTest::newRow("caps lock") << "Caps_Lock";
        QTest::newRow("num lock") << "Num_Lock";
    }
    void pressArrivesWithLocksOn()
    {
        QFETCH(QString, lock);
        int down = 0;
        HotKey hotKey(m_hotKeys.get(), Key::f, kCmdShift, [&down] { ++down; });
        press(lock);
        press("super+shift+f");
        press(lock);
        QTRY_COMPARE(down, 1);
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
        const quint32 keysym = X11HotKeyBackend::keysymForCarbonKeyCode(carbonKeyCode(Key::g));
        QCOMPARE(keysym, 0x67u); // XK_g

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
        QCOMPARE(m_hotKeys->hotKeys().last().carbonEventHotKey, std::nullopt);
        press("ctrl+alt+g");
        press("super+shift+z");
        QTRY_COMPARE(m_sentinelPresses, 1);
        QCOMPARE(down, 0);
        xcb_disconnect(other);

        // Once the other program is gone, the same combination can be had.
        HotKey again(m_hotKeys.get(), Key::g, ModifierFlag::control | ModifierFlag::option,
                     [&down] { ++down; });
        QVERIFY(m_hotKeys->hotKeys().last().carbonEventHotKey.has_value());
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

    void keyTranslation()
    {
        QCOMPARE(X11HotKeyBackend::x11Modifiers(0x100), quint16(XCB_MOD_MASK_4));
        QCOMPARE(X11HotKeyBackend::x11Modifiers(0x800), quint16(XCB_MOD_MASK_1));
        QCOMPARE(X11HotKeyBackend::x11Modifiers(0x1000), quint16(XCB_MOD_MASK_CONTROL));
        QCOMPARE(X11HotKeyBackend::x11Modifiers(0x200), quint16(XCB_MOD_MASK_SHIFT));
        QCOMPARE(X11HotKeyBackend::x11Modifiers(0x400), quint16(0));
        // Every key but the function key has a keysym; the gaps have none.
        for (Key key : allCases<Key>())
            QCOMPARE(X11HotKeyBackend::keysymForCarbonKeyCode(carbonKeyCode(key)) != 0, key != Key::function);
        QCOMPARE(X11HotKeyBackend::keysymForCarbonKeyCode(52), 0u);
        // A key with no keycode in this keymap is refused, not grabbed as 0.
        QCOMPARE(m_backend->registerHotKey(carbonKeyCode(Key::function), 0x100, {}), std::nullopt);
    }

private:
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
