#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class ProgramBindings;

// Switches the profile to the one bound to the focused program. A focus
// has to hold for SettleMs before anything happens, so that alt-tabbing
// through windows sends nothing. No switch starts while device work runs,
// while the owner says it must wait (a dialog is open, no mouse), or while
// an earlier switch is still under way; the latest focus is applied once
// the way is clear. A profile that is already current is never sent.
class ProfileFollower : public QObject
{
    Q_OBJECT
public:
    static constexpr int SettleMs = 750;

    explicit ProfileFollower(const ProgramBindings &bindings, QObject *parent = nullptr);

    // Supplied by the owner.
    std::function<int()> currentProfile;
    std::function<bool()> mustWait;
    std::function<void(int profile)> switchTo;

    // While the owner says to wait, it is asked again this often.
    static constexpr int RetryMs = 500;

    bool waiting() const { return m_retry.isActive(); }

public slots:
    void focusChanged(const QString &exeName, const QString &windowClass);
    // The master switch or a binding changed.
    void settingsChanged();

private:
    void apply();

    const ProgramBindings &m_bindings;
    QTimer m_settle;
    QTimer m_retry;
    QString m_exe;
    QString m_class;
    bool m_haveFocus = false;
    bool m_gateQueued = false;
    bool m_switching = false;
    bool m_afterSwitch = false;
};
