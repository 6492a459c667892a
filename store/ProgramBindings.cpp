#include "store/ProgramBindings.h"

#include <QSettings>
#include <QStringList>

namespace {

const QString Group = QStringLiteral("programProfiles");

// A value somebody typed by hand as a,b without quotes comes back as a list;
// the name meant is the text with its commas.
QString textOf(const QVariant &value)
{
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

int profileOf(const QVariant &value)
{
    bool ok = false;
    const int n = textOf(value).trimmed().toInt(&ok);
    return ok ? n : -1;
}

} // namespace

QString ProgramBindings::cleanName(const QString &name)
{
    return name.trimmed().left(MaxNameLength);
}

void ProgramBindings::load(QSettings &settings)
{
    m_bindings.clear();
    settings.beginGroup(Group);
    enabled = textOf(settings.value(QStringLiteral("enabled"))).trimmed() == QLatin1String("true");
    const int def = profileOf(settings.value(QStringLiteral("defaultProfile"), -1));
    defaultProfile = validProfile(def) ? def : -1;
    const int size = std::min(profileOf(settings.value(QStringLiteral("bindings/size"), 0)), int(MaxBindings));
    for (int i = 1; i <= size; ++i) {
        const QString prefix = QStringLiteral("bindings/%1/").arg(i);
        const QString program = cleanName(textOf(settings.value(prefix + QLatin1String("program"))));
        const int profile = profileOf(settings.value(prefix + QLatin1String("profile")));
        if (program.isEmpty() || !validProfile(profile) || indexOf(program) >= 0)
            continue;
        m_bindings.append({program, profile});
    }
    settings.endGroup();
}

void ProgramBindings::save(QSettings &settings) const
{
    settings.beginGroup(Group);
    settings.remove(QStringLiteral("bindings"));
    settings.setValue(QStringLiteral("enabled"), enabled);
    settings.setValue(QStringLiteral("defaultProfile"), defaultProfile);
    settings.beginWriteArray(QStringLiteral("bindings"), int(m_bindings.size()));
    for (int i = 0; i < m_bindings.size(); ++i) {
        settings.setArrayIndex(i);
        settings.setValue(QStringLiteral("program"), m_bindings.at(i).program);
        settings.setValue(QStringLiteral("profile"), m_bindings.at(i).profile);
    }
    settings.endArray();
    settings.endGroup();
    settings.sync();
}

int ProgramBindings::indexOf(const QString &program) const
{
    for (int i = 0; i < m_bindings.size(); ++i) {
        if (m_bindings.at(i).program.compare(program, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QStringList ProgramBindings::programsOf(int profile) const
{
    QStringList list;
    for (const Binding &b : m_bindings) {
        if (b.profile == profile)
            list.append(b.program);
    }
    return list;
}

bool ProgramBindings::bind(const QString &program, int profile)
{
    const QString name = cleanName(program);
    if (name.isEmpty() || !validProfile(profile))
        return false;
    const int i = indexOf(name);
    if (i >= 0)
        m_bindings[i].profile = profile;
    else if (m_bindings.size() < MaxBindings)
        m_bindings.append({name, profile});
    else
        return false;
    return true;
}

void ProgramBindings::unbind(const QString &program)
{
    const int i = indexOf(cleanName(program));
    if (i >= 0)
        m_bindings.removeAt(i);
}

int ProgramBindings::profileFor(const QString &exeName, const QString &windowClass) const
{
    for (const QString &name : {exeName, windowClass}) {
        const QString clean = cleanName(name);
        if (clean.isEmpty())
            continue;
        const int i = indexOf(clean);
        if (i >= 0)
            return m_bindings.at(i).profile;
    }
    return defaultProfile;
}
