#include "SettingsStore.h"

#include "RunTimeError.h"

#include <QSettings>
#include <QStringList>

namespace SettingsStore {
namespace {
QSettings &store()
{
    // One store object for the process: QSettings caches and writes back on sync().
    static QSettings settings(QSettings::NativeFormat, QSettings::UserScope, AppName, AppName);
    return settings;
}

QString path(const QString &section, const QString &key) { return section + u'/' + key; }
}

QString GetSetting(const QString &section, const QString &key, const QString &defaultText)
{
    const QVariant value = store().value(path(section, key));
    if (!value.isValid())
        return defaultText;
    // A hand-edited value with unquoted commas comes back as a list: take it as written.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    if (!value.canConvert<QString>())
        return defaultText;
    return value.toString();
}

void SaveSetting(const QString &section, const QString &key, const QString &text)
{
    store().setValue(path(section, key), text);
}

void DeleteSetting(const QString &section)
{
    QSettings &s = store();
    if (!s.childGroups().contains(section))
        throw RunTimeError::standard(Err::InvalidCall);
    s.remove(section);
}

void Sync()
{
    QSettings &s = store();
    s.sync();
    if (s.status() != QSettings::NoError)
        throw RunTimeError(Err::FileAccess,
                           QStringLiteral("Couldn't write the settings file '%1'.").arg(s.fileName()));
}

QString FileName() { return store().fileName(); }
}
