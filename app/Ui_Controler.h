#pragma once

#include <QObject>
#include <QWidget>

class ProgramProfiles;
class myQQuickView;

// Window control for the scene (published as ui_Ctl) and builder of the
// window's look and of the view.
class Ui_Controler : public QObject
{
    Q_OBJECT
public:
    // loadScene false builds the view without loading the scene, for the
    // command-line tool, which needs the back end only.
    explicit Ui_Controler(QWidget *window, bool loadScene = true);

    QWidget *window = nullptr;
    myQQuickView *view = nullptr;
    // Published as programProfiles; its focus watch exists only with a scene.
    ProgramProfiles *programProfiles = nullptr;

public slots:
    void onMinimize();
    void onClose();
    void onXChanged(int x);
    void onYChanged(int y);
    void setBusy(int busyTime);
    void setBusy();
};
