#include "app/Autostart.h"
#include "app/RemoteCalls.h"
#include "app/SingleInstance.h"
#include "app/Widget.h"
#include "app/myQQuickView.h"
#include "host/InputHookManager.h"
#include "host/NoticeFilter.h"
#include "store/DataRoot.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QMessageBox>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QSystemTrayIcon>

#include <hidapi.h>

#include <cstdio>

namespace {

// Recorded input goes to the scene through the main window's view.
void forwardKey(bool pressed, int hidCode, void *window)
{
    if (myQQuickView *view = static_cast<Widget *>(window)->view())
        view->detectKeyboard(pressed, hidCode);
}

void forwardButton(int buttonCode, bool pressed, int x, int y, void *window)
{
    if (myQQuickView *view = static_cast<Widget *>(window)->view())
        view->detectMouse(pressed, buttonCode, x, y);
}

} // namespace

int main(int argc, char *argv[])
{
    // The scene is images and text: the software scene graph draws it with
    // about half the start-up time and memory of OpenGL, which matters for a
    // program that lives in the tray all day. QT_QUICK_BACKEND (for example
    // "rhi" for the GPU) still decides when it is set.
    if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND") && !qEnvironmentVariableIsSet("QMLSCENE_DEVICE"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kelda-config"));
    // One application id for the desktop entry, the icon and the metainfo,
    // so compositors match the window to its entry and show our icon.
    QGuiApplication::setDesktopFileName(QLatin1String(Autostart::ApplicationId));
    // Every window carries the application icon, so task switchers and
    // window lists show ours.
    QIcon appIcon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        appIcon.addFile(QStringLiteral(":/modules/img/appIcon/%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(appIcon);
    // A closed window lives on in the tray.
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Configures the ZORVANT KELDA MOUSE X7."));
    options.addHelpOption();
    const QCommandLineOption hidden(QString::fromLatin1(Autostart::HiddenOption + 2),
                                    QStringLiteral("Start in the tray without showing the window "
                                                   "(minimised where there is no tray)."));
    options.addOption(hidden);
    options.process(app);

    // One data folder per user and installation; its relative "./modules/"
    // paths resolve once it is current. The instance belongs to that folder.
    DataRoot::Root root;
    QString dataError;
    const bool decided = DataRoot::decide(DataRoot::currentPlaces(), &root, &dataError);
    SingleInstance instance(decided ? SingleInstance::idForDataFolder(root.folder) : QString());
    if (instance.isRunning()) {
        instance.sendMessage(QString(), 5000);
        return 1;
    }
    if (!decided || !DataRoot::enter(root, &dataError)) {
        // Nothing is written anywhere else: the user learns why and where.
        std::fprintf(stderr, "kelda-config: %s\n", qPrintable(dataError));
        QMessageBox::critical(nullptr, QStringLiteral("KELDA MOUSE X7"),
                              QStringLiteral("The program cannot keep its settings: %1.\n\n"
                                             "Nothing was changed. Make sure that folder can be "
                                             "created and written, then start the program again.").arg(dataError));
        return 1;
    }

    hid_init();
    int result = 0;
    {
        Widget w;
        QObject::connect(&instance, &SingleInstance::messageReceived, &w, &Widget::receiveMessage);
        RemoteCalls calls(w, instance);

        InputHookManager hooks(false);
        hooks.setKeyboardCallback(forwardKey, &w);
        hooks.setMouseCallback(forwardButton, &w);
        hooks.setCopyDataCallback(notice::showWarning, &w);
        NoticeFilter notices(hooks);
        QObject::connect(&instance, &SingleInstance::noticeReceived, &notices, &NoticeFilter::receive);

        // Started at login: the window waits in the tray. Without a tray a
        // hidden window could never be brought back, so it starts minimised.
        if (!options.isSet(hidden))
            w.showNormal();
        else if (!QSystemTrayIcon::isSystemTrayAvailable())
            w.showMinimized();
        else
            w.startedHidden();
        w.checkDevice();
        result = app.exec();
        hooks.removeHooks();
    }
    hid_exit();
    return result;
}
