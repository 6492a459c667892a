#pragma once

#include <QObject>
#include <QSize>
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

    // The scale at which a scene of size scene is drawn on a screen whose
    // free area is available: 1 where it fits, otherwise the largest scale
    // that fits it whole, keeping its aspect ratio.
    static qreal sceneScale(const QSize &available, const QSize &scene);

    // Scale of the scene in the window now; moves the scene asks for are in
    // scene pixels and are scaled with it.
    qreal scale = 1.0;

    // Scales the scene and sizes the window to fit the window's screen.
    void fitToScreen();

protected:
    // Fits the scene again when the window moves to another screen.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watchScreen();
    QMetaObject::Connection m_screenWatch;

public slots:
    void onMinimize();
    void onClose();
    void onXChanged(int x);
    void onYChanged(int y);
    void setBusy(int busyTime);
    void setBusy();
};
