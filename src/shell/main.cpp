#include "AppModel.h"
#include "SeedData.h"
#include "SelfTest.h"
#include "Store.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumora"));
    QApplication::setOrganizationName(QStringLiteral("Lumora"));
    QApplication::setDesktopFileName(QStringLiteral("lumora"));

    auto container = Store::makeContainer();
    AppModel model(container.get());

    QMainWindow window;
    window.setObjectName(QStringLiteral("main"));
    window.setWindowTitle(QStringLiteral("Lumora"));
    window.setMinimumSize(760, 480);
    window.resize(1100, 720);
    auto *label = new QLabel(QStringLiteral("Lumora"), &window);
    label->setAlignment(Qt::AlignCenter);
    window.setCentralWidget(label);
    window.show();

    // The seed runs when the main window's content is first shown.
    SeedData::insertIfRequested(model);
    SelfTest::runIfRequested(model);

    const int status = app.exec();
    if (SelfTest::isRequested())
        return SelfTest::exitCode();
    return status;
}
