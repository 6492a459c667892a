#pragma once

#include "app/ProfileFollower.h"
#include "store/ProgramBindings.h"

#include <QObject>
#include <QStringList>
#include <QVariantList>

class FocusWatch;
class SettingsStore;

// Profiles that follow the focused program, as the scene sees them
// (published as programProfiles): the master switch, the default profile,
// the bindings of each profile, the programs focused lately to pick from,
// and the autostart entry. The owner supplies the follower's hooks.
class ProgramProfiles : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool available READ available CONSTANT)
    Q_PROPERTY(QString unavailableReason READ unavailableReason CONSTANT)
    Q_PROPERTY(bool enabled READ enabled WRITE setEnabled NOTIFY bindingsChanged)
    Q_PROPERTY(int defaultProfile READ defaultProfile WRITE setDefaultProfile NOTIFY bindingsChanged)
    Q_PROPERTY(int revision READ revision NOTIFY bindingsChanged)
    Q_PROPERTY(QVariantList recentPrograms READ recentPrograms NOTIFY recentProgramsChanged)
    Q_PROPERTY(bool autostart READ autostart WRITE setAutostart NOTIFY autostartChanged)
public:
    static constexpr int RecentCount = 20;

    // store holds the global file (its store object is exchanged when the
    // file is replaced, so it is looked up on every use); watch may be null.
    ProgramProfiles(SettingsStore *store, FocusWatch *watch, QObject *parent = nullptr);

    bool available() const { return m_available; }
    QString unavailableReason() const { return m_reason; }
    bool enabled() const { return m_bindings.enabled; }
    void setEnabled(bool on);
    int defaultProfile() const { return m_bindings.defaultProfile; }
    void setDefaultProfile(int profile);
    int revision() const { return m_revision; }
    QVariantList recentPrograms() const { return m_recent; }
    bool autostart() const;
    void setAutostart(bool on);

    Q_INVOKABLE QStringList programsOf(int profile) const { return m_bindings.programsOf(profile); }
    Q_INVOKABLE bool bind(const QString &program, int profile);
    Q_INVOKABLE void unbind(const QString &program);
    // A deleted profile keeps no programs and is no longer the default.
    Q_INVOKABLE void forgetProfile(int profile);

    ProfileFollower follower;
    const ProgramBindings &bindings() const { return m_bindings; }

public slots:
    void focusChanged(const QString &exeName, const QString &windowClass);

signals:
    void bindingsChanged();
    void recentProgramsChanged();
    void autostartChanged();
    void autostartFailed(const QString &message);

private:
    void save();
    void remember(const QString &name, const QString &kind);

    SettingsStore *m_store;
    ProgramBindings m_bindings;
    bool m_available = false;
    QString m_reason;
    int m_revision = 0;
    QVariantList m_recent;
};
