#include "app/SingleInstance.h"
#include "app/Widget.h"

#include <QApplication>
#include <QDir>

#include <hidapi.h>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kelda-config"));
    // A closed window lives on in the tray.
    QApplication::setQuitOnLastWindowClosed(false);

    SingleInstance instance;
    if (instance.isRunning()) {
        instance.sendMessage(QString(), 5000);
        return 1;
    }

    // Every data path is relative to the executable's folder.
    QString dir = QCoreApplication::applicationFilePath();
    dir.truncate(dir.lastIndexOf(QLatin1Char('/')));
    QDir::setCurrent(dir);

    hid_init();
    int result = 0;
    {
        Widget w;
        QObject::connect(&instance, &SingleInstance::messageReceived, &w, &Widget::receiveMessage);
        w.showNormal();
        w.checkDevice();
        result = app.exec();
    }
    hid_exit();
    return result;
}
