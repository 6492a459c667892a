#pragma once

#include <QList>
#include <QString>

class QSettings;

// Which profile follows which program: the "programProfiles" group of the
// global file. A program is named by its executable name or by its window
// class; each name belongs to at most one profile. The group also keeps the
// master switch and the default profile. Nothing outside the group is read
// or written.
class ProgramBindings
{
public:
    // Profiles are slots 0..5 of the profile dialog.
    static constexpr int ProfileCount = 6;
    // A hand-edited group may claim any size; reading stops here.
    static constexpr int MaxBindings = 256;
    static constexpr int MaxNameLength = 256;

    struct Binding {
        QString program;
        int profile = 0;
        bool operator==(const Binding &) const = default;
    };

    // Reads the group; junk (empty names, profiles out of range, repeated
    // names, sizes beyond MaxBindings) is skipped.
    void load(QSettings &settings);
    // Rewrites the group and nothing else.
    void save(QSettings &settings) const;

    bool enabled = false;
    // -1: no default, so an unbound program changes nothing.
    int defaultProfile = -1;

    const QList<Binding> &bindings() const { return m_bindings; }
    QStringList programsOf(int profile) const;
    // Binds program to profile (taking it from any other profile); false
    // for an empty name or a profile out of range.
    bool bind(const QString &program, int profile);
    void unbind(const QString &program);

    // The profile for the focused window: a binding of its executable name
    // first, then one of its window class, then the default; -1 for none.
    int profileFor(const QString &exeName, const QString &windowClass) const;

    static bool validProfile(int profile) { return profile >= 0 && profile < ProfileCount; }
    // Trimmed and capped; empty when nothing usable is left.
    static QString cleanName(const QString &name);

private:
    int indexOf(const QString &program) const;
    QList<Binding> m_bindings;
};
