// The main window's side of profiles that follow the focused program: when
// the follower may switch, and how a switch is done.
#include "app/ProgramProfiles.h"
#include "app/Ui_Controler.h"
#include "app/Widget.h"
#include "app/myQQuickView.h"
#include "store/NameLists.h"

#include <QQuickItem>

namespace {

// The name the profile dialog shows for slot, or empty when the name list
// holds no profile in that slot. Slot 0, the standard profile, always exists.
bool profileName(const myQQuickView *view, int slot, QString *name)
{
    const QVariantList texts = NameLists(view->store.dataRoot()).get(2);
    for (const QVariant &v : texts) {
        const QString text = v.toString();
        if (text.size() >= 2 && text.back().digitValue() == slot) {
            *name = text.chopped(1);
            return true;
        }
    }
    *name = QString();
    return slot == 0;
}

} // namespace

void Widget::followPrograms()
{
    if (!ctl || !ctl->programProfiles || !view())
        return;
    ProfileFollower &follower = ctl->programProfiles->follower;
    follower.currentProfile = [this] { return view()->currentProfileIndex(); };
    follower.mustWait = [this] {
        myQQuickView *v = view();
        QQuickItem *root = v ? v->rootObject() : nullptr;
        if (!deviceConnected || !root || !root->property("isPownOn").toBool() || !v->isEnabled())
            return true;
        // A switch already waits for the user to save or discard edits.
        if (root->property("waitingProfile").toInt() >= 0)
            return true;
        // The mask is up exactly while a dialog is open.
        QObject *mask = root->findChild<QObject *>(QStringLiteral("mask"));
        return mask && mask->property("visible").toBool();
    };
    follower.switchTo = [this](int slot) { switchProfile(slot); };
}

bool Widget::switchProfile(int slot)
{
    myQQuickView *v = view();
    QQuickItem *root = v ? v->rootObject() : nullptr;
    QString name;
    if (!root || !profileName(v, slot, &name))
        return false;
    qDebug() << "profile follows the focused program:" << slot;
    // Unsaved edits are not dropped: the window asks the user, and the
    // switch waits for the answer.
    QVariant switched;
    QMetaObject::invokeMethod(root, "requestProfile", Q_RETURN_ARG(QVariant, switched),
                              Q_ARG(QVariant, QVariant(slot)), Q_ARG(QVariant, QVariant(true)));
    if (name.isEmpty())
        name = QString::number(slot + 1);
    // Rate-limited with the DPI messages: a run of switches shows the last.
    if (switched.toBool())
        showDpiBalloon(tr("Profile \"%1\" is now active").arg(name));
    else
        showDpiBalloon(tr("Profile \"%1\" waits until the changes are saved or discarded").arg(name));
    return true;
}
