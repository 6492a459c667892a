// The baseline of the start-up and memory figures of `make bench`: the
// smallest Qt Quick window of the same Qt and the same size as kelda-config's
// (1024x640), drawing a known scene so that its first frame can be seen from
// outside. scripts/bench compiles it with g++ and pkg-config Qt6Quick.
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQuickItem>
#include <QQuickView>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QQuickView view;
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    view.setTitle(QStringLiteral("bare"));
    view.setColor(QColor(0x20, 0x60, 0xa0));
    QQmlComponent scene(view.engine());
    scene.setData("import QtQuick\n"
                  "Rectangle {\n"
                  "  width: 1024; height: 640; color: '#2060a0'\n"
                  "  Rectangle { x: 64; y: 64; width: 896; height: 512; color: '#e0a020' }\n"
                  "  Text { x: 96; y: 96; text: 'bare Qt Quick window'; font.pixelSize: 32 }\n"
                  "}\n",
                  QUrl());
    view.setContent(QUrl(), &scene, scene.create());
    view.resize(1024, 640);
    view.show();
    return app.exec();
}
