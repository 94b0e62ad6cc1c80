// SPDX-License-Identifier: MIT
// Development aid (not a benchmark): renders every main-window page in light
// and dark into PNG files for review.
//   mainwindow_screenshots <output dir> [--grid]
#include "AppChooser.h"
#include "AppLockProfile.h"
#include "AppModel.h"
#include "Appearance.h"
#include "ContentView.h"
#include "FocusScreen.h"
#include "FocusSession.h"
#include "GridProbes.h"
#include "ModelContainer.h"
#include "ModelContext.h"
#include "PlatformServices.h"
#include "SeedData.h"
#include "Store.h"
#include "ThemeStore.h"

#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <cstdio>

namespace {
constexpr int kToolBarHeight = 40;

QPalette darkPalette()
{
    QPalette p;
    const QColor window(53, 53, 53), base(35, 35, 35), text(230, 230, 230);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::ToolTipBase, window);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::red);
    p.setColor(QPalette::Link, QColor(42, 130, 218));
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::white);
    QColor placeholder = text;
    placeholder.setAlpha(128);
    p.setColor(QPalette::PlaceholderText, placeholder);
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(127, 127, 127));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(127, 127, 127));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(127, 127, 127));
    return p;
}
} // namespace

int main(int argc, char *argv[])
{
    const bool grid = argc > 2 && QByteArray(argv[2]) == "--grid";
    if (grid)
        qputenv("APP_GRID", "1");
    QTemporaryDir scratch;
    qputenv("APP_STORE", scratch.filePath(QStringLiteral("Lumora.store")).toUtf8());
    qputenv("APP_SEED", "1");
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/lumora-shots");
    QDir().mkpath(out);

    auto container = Store::makeContainer();
    AppModel model(container.get());
    SeedData::insertIfRequested(model);
    // A few more sessions of every kind.
    const QList<FocusScreen *> screens = model.focusScreens();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const double durations[] = {59.9, 60, 61.5, 1445, 5400};
    for (int i = 0; i < 5; ++i) {
        auto s = std::make_unique<FocusSession>(screens.value(i % screens.size())->uuid(),
                                                now.addSecs(-7200 * (i + 1)));
        s->complete(s->startTime().addMSecs(qint64(durations[i] * 1000)));
        s->setCompleted(i % 2 == 0);
        model.context()->insert(std::move(s));
    }
    model.context()->insert(std::make_unique<FocusSession>(QUuid::createUuid(), now.addDays(-3)));
    screens.value(1)->setAutoStartOnLogin(true);
    screens.value(1)->setStrictModeEnabled(true);
    screens.value(1)->setStrictModeType(StrictModeType::sentence);
    model.context()->save();

    Appearance look;
    ThemeStore themes(&look);
    GridProbes probes;
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Lumora"));
    auto *content = new ContentView(&model, &themes, &probes, nullptr);
    window.setCentralWidget(content);
    auto *toolBar = window.addToolBar(QStringLiteral("Main"));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolBar->setMovable(false);
    toolBar->setFixedHeight(kToolBarHeight);
    content->populateToolBar(toolBar);
    window.resize(1100, 720);
    window.show();
    QTest::qWait(50);

    const QPalette light = QApplication::palette();
    for (const char *appearance : {"light", "dark"}) {
        QApplication::setPalette(QByteArray(appearance) == "dark" ? darkPalette() : light);
        for (SidebarItem page : allCases<SidebarItem>()) {
            model.setSidebar(page);
            if (page == SidebarItem::focusScreens)
                model.setSelection(screens.value(1)->id());
            if (page == SidebarItem::profiles)
                model.setSelection(model.lockProfiles().value(0)->id());
            QTest::qWait(50);
            const QString path =
                QStringLiteral("%1/%2-%3.png").arg(out, rawValue(page), QLatin1String(appearance));
            window.grab().save(path);
            std::printf("%s\n", qPrintable(path));
        }
        // The lower half of the focus screen editor, background field shown.
        model.setSidebar(SidebarItem::focusScreens);
        model.setSelection(screens.value(1)->id());
        screens.value(1)->setOverlayBackgroundType(OverlayBackgroundType::gradient);
        QTest::qWait(50);
        if (auto *form = content->findChild<QScrollArea *>(QStringLiteral("focusScreenForm")))
            form->verticalScrollBar()->setValue(form->verticalScrollBar()->maximum());
        QTest::qWait(50);
        const QString bottom =
            QStringLiteral("%1/focusScreens-bottom-%2.png").arg(out, QLatin1String(appearance));
        window.grab().save(bottom);
        std::printf("%s\n", qPrintable(bottom));
        // Nothing selected on the profiles page.
        model.setSidebar(SidebarItem::profiles);
        model.setSelection(std::nullopt);
        QTest::qWait(50);
        const QString none = QStringLiteral("%1/profiles-none-%2.png").arg(out, QLatin1String(appearance));
        window.grab().save(none);
        std::printf("%s\n", qPrintable(none));
        model.setSidebar(std::nullopt);
        QTest::qWait(50);
        const QString noPage = QStringLiteral("%1/nopage-%2.png").arg(out, QLatin1String(appearance));
        window.grab().save(noPage);
        std::printf("%s\n", qPrintable(noPage));
    }

    // The application chooser over the installed desktop entries.
    {
        QApplication::setPalette(light);
        const auto catalogue = PlatformServices::forThisDesktop()->makeAppCatalogue();
        AppChooser chooser(*catalogue, catalogue->installedApplications(), {}, &window);
        chooser.show();
        QTest::qWait(50);
        const QString path = QStringLiteral("%1/appChooser-light.png").arg(out);
        chooser.grab().save(path);
        std::printf("%s\n", qPrintable(path));
    }

    // The smallest window the shell allows.
    QApplication::setPalette(light);
    window.resize(760, 480);
    for (SidebarItem page : {SidebarItem::focusScreens, SidebarItem::profiles}) {
        model.setSidebar(page);
        model.setSelection(page == SidebarItem::focusScreens ? screens.value(1)->id()
                                                             : model.lockProfiles().value(0)->id());
        QTest::qWait(50);
        for (auto *form : content->findChildren<QScrollArea *>())
            form->verticalScrollBar()->setValue(0);
        const QString path = QStringLiteral("%1/%2-small-light.png").arg(out, rawValue(page));
        window.grab().save(path);
        std::printf("%s\n", qPrintable(path));
    }
    window.resize(1100, 720);

    // Empty store: every list's empty state.
    for (FocusScreen *screen : model.focusScreens())
        model.context()->remove(screen);
    for (auto *profile : model.lockProfiles())
        model.context()->remove(profile);
    for (auto *session : model.sessions())
        model.context()->remove(session);
    model.context()->save();
    for (const char *appearance : {"light", "dark"}) {
        QApplication::setPalette(QByteArray(appearance) == "dark" ? darkPalette() : light);
        for (SidebarItem page : {SidebarItem::focusScreens, SidebarItem::sessions, SidebarItem::profiles}) {
            model.setSidebar(page);
            QTest::qWait(50);
            const QString path =
                QStringLiteral("%1/%2-empty-%3.png").arg(out, rawValue(page), QLatin1String(appearance));
            window.grab().save(path);
            std::printf("%s\n", qPrintable(path));
        }
    }
    return 0;
}
