// A plain window for the focus journeys on Wayland: its application id is
// the first argument, and it stays open until it is closed or killed.
#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>

#include <cstdio>

namespace {

class Window : public QRasterWindow
{
protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(QRect(QPoint(), size()), QColor(0x30, 0x60, 0x90)); }
};

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        fprintf(stderr, "usage: %s APP_ID\n", argv[0]);
        return 2;
    }
    QGuiApplication::setDesktopFileName(QString::fromLocal8Bit(argv[1]));
    Window window;
    window.setTitle(QString::fromLocal8Bit(argv[1]));
    window.resize(320, 200);
    window.show();
    return app.exec();
}
