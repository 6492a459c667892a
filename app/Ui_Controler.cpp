#include "app/Ui_Controler.h"

#include "app/ProgramProfiles.h"
#include "app/Widget.h"
#include "app/myQQuickView.h"
#include "host/FocusWatch.h"

#include "store/LanguageStrings.h"

#include <QEvent>
#include <QLocale>
#include <QQmlContext>
#include <QQuickItem>
#include <QScreen>
#include <QSettings>
#include <QSystemTrayIcon>
#include <QUrl>

#include <algorithm>
#include <cmath>

Ui_Controler::Ui_Controler(QWidget *w, bool loadScene)
{
    if (w && w->objectName().isEmpty())
        w->setObjectName(QStringLiteral("Widget"));
    window = w;
    if (!w)
        return;

    w->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
    w->setWindowOpacity(1.0);
    w->setAttribute(Qt::WA_TranslucentBackground, true);
    w->setStyleSheet(QStringLiteral("background:transparent;"));

    view = new myQQuickView(w);
    view->setObjectName(QStringLiteral("ui_View"));
    // The scene draws the whole window, including its transparent corners.
    view->setAttribute(Qt::WA_AlwaysStackOnTop, true);
    view->setClearColor(Qt::transparent);
    QQmlContext *ctx = view->rootContext();
    // Bound to by the dialogs as they are built, so published first.
    programProfiles = new ProgramProfiles(&view->store, loadScene ? FocusWatch::create(this) : nullptr, this);
    ctx->setContextProperty(QStringLiteral("programProfiles"), programProfiles);
    if (loadScene) {
        // On first start the interface speaks the desktop's language, where
        // a language file for it exists; the user's later choice stays.
        const QString language = QStringLiteral("common/language");
        if (view->store.getGlobalData(language).toString().isEmpty()) {
            const LanguageStrings strings(view->store.dataRoot());
            view->store.setGlobalData(language, LanguageStrings::forDesktop(QLocale::system().uiLanguages(),
                                                                             strings.available()));
        }
        view->setSource(QUrl(QStringLiteral("qrc:modules/qml/main.qml")));
    }

    ctx->setContextProperty(QStringLiteral("ui_View"), view);
    Widget *mainWindow = qobject_cast<Widget *>(w);
    ctx->setContextProperty(QStringLiteral("hid"),
                            mainWindow ? static_cast<QObject *>(&mainWindow->hid) : nullptr);
    ctx->setContextProperty(QStringLiteral("ui_Ctl"), this);

    const QRect g = view->geometry();
    w->resize(g.width(), g.height());
    if (loadScene) {
        watchScreen();
        w->installEventFilter(this);
    }

    QSettings apConfig(QStringLiteral("./modules/setting/apConfig.bin"), QSettings::IniFormat);
    w->setWindowTitle(apConfig.value(QStringLiteral("common/name")).toString());
}

qreal Ui_Controler::sceneScale(const QSize &available, const QSize &scene)
{
    if (available.isEmpty() || scene.isEmpty())
        return 1.0;
    return std::min({1.0, qreal(available.width()) / scene.width(), qreal(available.height()) / scene.height()});
}

void Ui_Controler::fitToScreen()
{
    QQuickItem *root = view ? view->rootObject() : nullptr;
    QScreen *screen = window ? window->screen() : nullptr;
    if (!root || !screen)
        return;
    const QSize scene(qRound(root->width()), qRound(root->height()));
    scale = sceneScale(screen->availableGeometry().size(), scene);
    root->setTransformOrigin(QQuickItem::TopLeft);
    root->setScale(scale);
    // The view keeps the scene's own size unless told otherwise; the
    // scaled scene fills it from the top-left corner.
    const QSize size(int(std::floor(scene.width() * scale)), int(std::floor(scene.height() * scale)));
    view->resize(size);
    window->resize(size);
}

void Ui_Controler::watchScreen()
{
    disconnect(m_screenWatch);
    if (QScreen *screen = window ? window->screen() : nullptr)
        m_screenWatch = connect(screen, &QScreen::availableGeometryChanged, this, &Ui_Controler::fitToScreen);
    fitToScreen();
}

bool Ui_Controler::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window && event->type() == QEvent::ScreenChangeInternal)
        watchScreen();
    return QObject::eventFilter(watched, event);
}

void Ui_Controler::onMinimize()
{
    if (window)
        window->showMinimized();
}

void Ui_Controler::onClose()
{
    if (!window)
        return;
    // Without a system tray a hidden window could never be brought back, so
    // the close button minimises instead.
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        window->showMinimized();
        return;
    }
    window->setVisible(false);
}

void Ui_Controler::onXChanged(int x)
{
    if (window)
        window->move(window->x() + qRound(x * scale), window->y());
}

void Ui_Controler::onYChanged(int y)
{
    if (window)
        window->move(window->x(), window->y() + qRound(y * scale));
}

void Ui_Controler::setBusy(int busyTime)
{
    if (view)
        view->setBusy(busyTime);
}

void Ui_Controler::setBusy()
{
    setBusy(0);
}
