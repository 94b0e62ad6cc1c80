// SPDX-License-Identifier: MIT
// Names that look like markup are shown as the text they are: every window
// (the main window's pages, the settings pages, the popover, the overlay and
// its challenge sheet) is built over a store whose names are hostile, and
// every label, button and tooltip is read the way Qt would draw it.
#include "AppLockProfile.h"
#include "AppModel.h"
#include "Appearance.h"
#include "BrowserSection.h"
#include "ChallengeSheet.h"
#include "ContentView.h"
#include "FocusOverlayView.h"
#include "FocusScreen.h"
#include "FocusSession.h"
#include "GeneralSettings.h"
#include "GridProbes.h"
#include "MainWindow.h"
#include "MenuBarPopover.h"
#include "ModelContainer.h"
#include "ModelContext.h"
#include "RemoteControl.h"
#include "SettingsView.h"
#include "StatusText.h"
#include "Store.h"
#include "ThemeStore.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QToolButton>

namespace {

// Connected browsers without a bus, as the serving instance lists them.
class BrowsersRemote : public RemoteControl
{
public:
    bool serve() override { return true; }
    Reply send(Request, const QString &) override { return {}; }
    void connectBrowser(const QString &browser) { setBrowserConnected(QStringLiteral(":1.1"), browser); }
};

// How Qt draws a text that guesses its format.
bool readsAsMarkup(const QString &text, Qt::TextFormat format)
{
    return format == Qt::RichText || format == Qt::MarkdownText ||
           (format == Qt::AutoText && Qt::mightBeRichText(text));
}

// A button's text as drawn: "&&" is an ampersand, a single "&" marks the
// shortcut letter and is not drawn.
QString drawnButtonText(QString text)
{
    text.replace(QLatin1String("&&"), QString(QChar(0xE000)));
    text.remove(QLatin1Char('&'));
    return text.replace(QChar(0xE000), QLatin1Char('&'));
}

struct Shown
{
    QString where;
    QString raw;
    QString drawn;
};

// Every text of a window as it is drawn; labels and tooltips that would be
// read as markup are failures of their own (none of the program's texts is
// markup, so any such label holds data).
QList<Shown> shownTexts(const QWidget *root, QStringList *markup)
{
    QList<Shown> out;
    const auto where = [](const QObject *o, const char *what) {
        return QStringLiteral("%1 %2 (%3)")
            .arg(QLatin1String(o->metaObject()->className()), o->objectName(), QLatin1String(what));
    };
    for (const QLabel *label : root->findChildren<QLabel *>()) {
        if (label->text().isEmpty())
            continue;
        if (readsAsMarkup(label->text(), label->textFormat()))
            markup->append(where(label, "label") + QStringLiteral(": ") + label->text().left(80));
        out.append({where(label, "label"), label->text(), label->text()});
    }
    for (const QAbstractButton *button : root->findChildren<QAbstractButton *>())
        out.append({where(button, "button"), button->text(), drawnButtonText(button->text())});
    for (const QGroupBox *box : root->findChildren<QGroupBox *>())
        out.append({where(box, "group title"), box->title(), drawnButtonText(box->title())});
    QList<const QWidget *> widgets{root};
    for (const QWidget *w : root->findChildren<QWidget *>())
        widgets.append(w);
    const auto addToolTip = [&](const QString &place, const QString &tip) {
        if (tip.isEmpty())
            return;
        if (!Qt::mightBeRichText(tip)) {
            out.append({place, tip, tip});
            return;
        }
        // Markup the program made must carry its data escaped: no tag of
        // the data may be left to load or style anything.
        if (tip.contains(QLatin1String("<img")) || tip.contains(QLatin1String("<h1")) ||
            tip.contains(QLatin1String("<b>"))) {
            markup->append(place + QStringLiteral(": ") + tip.left(80));
            return;
        }
        QTextDocument document;
        document.setHtml(tip);
        out.append({place, tip, document.toPlainText()});
    };
    for (const QWidget *w : std::as_const(widgets))
        addToolTip(where(w, "tooltip"), w->toolTip());
    for (const QListWidget *list : root->findChildren<QListWidget *>()) {
        for (int i = 0; i < list->count(); ++i) {
            out.append({where(list, "row"), list->item(i)->text(), list->item(i)->text()});
            addToolTip(where(list, "row tooltip"), list->item(i)->toolTip());
        }
    }
    return out;
}

// The name as drawn, whole or cut with an ellipsis after at least `least`
// of its characters.
bool showsName(const QString &drawn, const QString &name, qsizetype least = 8)
{
    if (drawn.contains(name))
        return true;
    for (qsizetype at = drawn.indexOf(QChar(0x2026)); at >= 0; at = drawn.indexOf(QChar(0x2026), at + 1)) {
        for (qsizetype length = std::min(at, name.size()); length >= least; --length) {
            if (drawn.mid(at - length, length) == name.left(length))
                return true;
        }
    }
    return false;
}

} // namespace

class TestPlainText : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    std::unique_ptr<ModelContainer> m_container;
    std::unique_ptr<AppModel> m_model;
    Appearance m_appearance;
    std::unique_ptr<ThemeStore> m_themes;

    // A scratch store whose screen, session, profile and allowed
    // application are all called `name`.
    void fillStore(const QString &name)
    {
        m_model.reset();
        m_container.reset();
        QFile::remove(m_dir.filePath(QStringLiteral("Lumora.store")));
        QString error;
        m_container =
            ModelContainer::open(m_dir.filePath(QStringLiteral("Lumora.store")), Store::schema(), &error);
        QVERIFY2(m_container, qPrintable(error));
        m_model = std::make_unique<AppModel>(m_container.get());
        ModelContext *context = m_model->context();
        auto *screen = context->insert(
            std::make_unique<FocusScreen>(name, 1500.0, QStringList{name}, QStringList{}, LockMode::hideApps,
                                          true, 0, true, StrictModeType::sentence, name));
        auto *session = context->insert(
            std::make_unique<FocusSession>(screen->uuid(), QDateTime::currentDateTimeUtc().addSecs(-3600)));
        session->complete(QDateTime::currentDateTimeUtc().addSecs(-2100));
        context->insert(
            std::make_unique<AppLockProfile>(name, QStringList{name}, QStringList(), LockMode::hideApps));
        QVERIFY(context->save(&error));
    }

    // Every text of the window is plain, the name among them whole or cut.
    void verifyWindow(const QWidget *root, const QString &name, const QString &label,
                      bool nameExpected = true)
    {
        QStringList markup;
        const QList<Shown> texts = shownTexts(root, &markup);
        QVERIFY2(markup.isEmpty(), qPrintable(label + QStringLiteral(": read as markup: ") +
                                              markup.join(QStringLiteral("; "))));
        bool found = false;
        for (const Shown &text : texts) {
            // What mentions the name, in its stored or its escaped form, shows it.
            const QString start = name.left(8);
            const bool mentions = text.raw.contains(start) || text.raw.contains(start.toHtmlEscaped()) ||
                                  text.drawn.contains(start);
            if (!mentions)
                continue;
            QVERIFY2(
                showsName(text.drawn, name),
                qPrintable(QStringLiteral("%1: %2 draws %3").arg(label, text.where, text.drawn.left(120))));
            // Only the sentence to type is shown whole, however long.
            if (!text.where.contains(QLatin1String("challengeSentence")))
                QVERIFY2(text.raw.size() < 2000, qPrintable(QStringLiteral("%1: %2 holds %3 characters")
                                                                .arg(label, text.where)
                                                                .arg(text.raw.size())));
            found = true;
        }
        if (nameExpected)
            QVERIFY2(found, qPrintable(label + QStringLiteral(": the name is not shown")));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_themes = std::make_unique<ThemeStore>(&m_appearance);
    }

    void hostileNamesStayText_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("image of an endless file") << QStringLiteral("<img src=/dev/zero>");
        QTest::newRow("bold with an ampersand") << QStringLiteral("<b>R&D</b>");
        QTest::newRow("red heading") << QStringLiteral("<h1 style=\"color:red\">Lumora update: run x</h1>");
        QTest::newRow("script handler") << QStringLiteral("<img src=x onerror=alert(1)>");
        QTest::newRow("escaped entity") << QStringLiteral("&lt;b&gt; is &amp;");
        QTest::newRow("a hundred thousand characters")
            << QStringLiteral("<b>") + QString(100000, u'W') + QStringLiteral("</b>");
        QTest::newRow("bidirectional controls")
            << QStringLiteral("Report \u202Etxt.exe\u202C \u2067R&D\u2069 \u200F!");
    }

    void hostileNamesStayText()
    {
        QFETCH(QString, name);
        fillStore(name);
        if (QTest::currentTestFailed())
            return;

        // The main window's pages, each with its first record selected.
        GridProbes probes;
        MainWindow window(m_model.get(), m_themes.get(), &probes, nullptr);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QList<std::pair<SidebarItem, QString>> pages{
            {SidebarItem::focusScreens, QStringLiteral("focus screens")},
            {SidebarItem::sessions, QStringLiteral("sessions")},
            {SidebarItem::profiles, QStringLiteral("lock profiles")},
            {SidebarItem::settings, QStringLiteral("settings page")}};
        for (const auto &[page, label] : pages) {
            m_model->setSidebar(page);
            QCoreApplication::processEvents();
            if (page == SidebarItem::focusScreens)
                m_model->setSelection(m_model->focusScreens().value(0)->id());
            QCoreApplication::processEvents();
            // The lists draw their rows through delegates, as plain text.
            verifyWindow(&window, name, QStringLiteral("main window, ") + label, false);
        }
        window.close();

        // Every settings page; General with a browser of that name connected.
        BrowsersRemote remote;
        remote.connectBrowser(name);
        SettingsView settings(m_model.get(), m_themes.get());
        settings.general()->browserSection()->setRemoteControl(&remote);
        settings.show();
        QVERIFY(QTest::qWaitForWindowExposed(&settings));
        for (const SettingsTab tab :
             {SettingsTab::general, SettingsTab::profiles, SettingsTab::appearance, SettingsTab::stats}) {
            settings.tabButton(tab)->click();
            QCoreApplication::processEvents();
            verifyWindow(&settings, name, QStringLiteral("settings tab %1").arg(int(tab)),
                         tab != SettingsTab::appearance);
        }
        settings.close();

        // The tray popover.
        MenuBarPopover popover(m_model.get(), m_themes.get(), {});
        popover.showAt(QRect(100, 0, 20, 20));
        QVERIFY(QTest::qWaitForWindowExposed(&popover));
        QCOMPARE(popover.rows().size(), 1);
        verifyWindow(&popover, name, QStringLiteral("popover"));
        popover.close();

        // The overlay, and its challenge sheet open.
        FocusOverlayContent content;
        content.screenName = name;
        content.duration = content.remainingTime = 1500;
        content.allowedApps = {name};
        content.strictModeEnabled = true;
        content.strictModeType = StrictModeType::sentence;
        content.strictModeSentence = name;
        FocusOverlayView overlay(content);
        overlay.resize(1280, 800);
        overlay.show();
        QVERIFY(QTest::qWaitForWindowExposed(&overlay));
        verifyWindow(&overlay, name, QStringLiteral("overlay"));
        auto *exit = overlay.findChild<QAbstractButton *>(QStringLiteral("exitChallengeButton"));
        QVERIFY(exit);
        QTest::mouseClick(exit, Qt::LeftButton);
        auto *sheet = overlay.findChild<ChallengeSheet *>(QStringLiteral("challengeSheet"));
        QTRY_VERIFY(sheet && sheet->isVisible());
        verifyWindow(sheet, name, QStringLiteral("challenge sheet"));
    }

    // The tray's tooltip names the screen, cut to a tooltip's length; a NUL
    // in a name, which a bus string cannot carry, is shown as a symbol and
    // keeps what follows it.
    void trayToolTipCarriesTheName()
    {
        const QString tip = StatusText::countdownToolTip(QString(100000, u'W'), QStringLiteral("24:59"));
        QVERIFY(tip.size() < StatusText::kMaxToolTipNameChars + 40);
        QVERIFY(showsName(tip, QString(100000, u'W')));
        QVERIFY(tip.endsWith(QLatin1String("24:59 remaining")));
        QCOMPARE(
            StatusText::countdownToolTip(QStringView(u"Deep\0Work", 9).toString(), QStringLiteral("24:59")),
            QStringLiteral("Deep\u2400Work - 24:59 remaining"));
    }
};

QTEST_MAIN(TestPlainText)
#include "tst_plaintext.moc"
