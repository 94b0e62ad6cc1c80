#include "SettingsWindow.h"

#include "Themed.h"

#include <QLabel>
#include <QVBoxLayout>

SettingsWindow::SettingsWindow(AppModel *, QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("settings"));
    setWindowTitle(QStringLiteral("Settings"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Settings"), this));
    themed(this);
}
