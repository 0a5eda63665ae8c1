#include "settings/SettingsStore.h"

#include "core/RunTimeError.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <QThread>

#include <algorithm>

namespace SettingsStore {
namespace {
QSettings &store()
{
    // One store object for the process: QSettings caches and writes back on sync().
    static QSettings settings(QSettings::NativeFormat, QSettings::UserScope, AppName, AppName);
    return settings;
}

QString path(const QString &section, const QString &key) { return section + u'/' + key; }

// Every write takes a lock file that names the writing process. A writer killed between
// making that file and filling it leaves it empty, and the next write would wait half a
// minute for it to go stale, with the game frozen. A live writer fills its lock file at once,
// so one that stays empty for a second belongs to nobody and is taken away.
void clearAbandonedLock(const QString &settingsFile)
{
    const QString name = settingsFile + QStringLiteral(".lock");
    for (int look = 0; look < 2; ++look) {
        const QFileInfo lock(name);
        if (!lock.isFile() || lock.size() != 0)
            return;
        const qint64 age = lock.lastModified().msecsTo(QDateTime::currentDateTime());
        if (age >= 1000) {
            QFile::remove(name);
            return;
        }
        QThread::msleep(quint64(1000 - std::max<qint64>(age, 0)));
    }
}
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
    clearAbandonedLock(s.fileName());
    s.sync();
    // The status is the first problem the store met, and it stays. A format error only says
    // that some lines could not be read; the file was written all the same when it can be.
    const QSettings::Status status = s.status();
    const bool failed = status == QSettings::AccessError || (status == QSettings::FormatError && !s.isWritable());
    static bool reported = false;
    if (!failed || reported)
        return;
    reported = true;
    throw RunTimeError(Err::FileAccess, QStringLiteral("Couldn't write the settings file '%1'.").arg(s.fileName()));
}

QString FileName() { return store().fileName(); }
}
