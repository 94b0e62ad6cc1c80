#pragma once

#include <QWidget>

class AppModel;

// The settings window; its size follows the page shown.
class SettingsWindow : public QWidget
{
    Q_OBJECT
public:
    explicit SettingsWindow(AppModel *model, QWidget *parent = nullptr);
};
