#include "db/Settings.h"

#include <QFile>
#include <QSettings>

namespace zobran {

namespace {

QSettings settingsFor(const QString& application)
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, application, application);
}

void restrictToOwner(const QString& path)
{
    if (QFile::exists(path))
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

} // namespace

QString settingsFilePath(const QString& application)
{
    return settingsFor(application).fileName();
}

QString GetSetting(const QString& application, const QString& section, const QString& key, const QString& defaultValue)
{
    QSettings settings = settingsFor(application);
    settings.beginGroup(section);
    const QStringList keys = settings.childKeys();
    for (const QString& stored : keys)
        if (stored.compare(key, Qt::CaseInsensitive) == 0)
            return settings.value(stored).toString();
    return defaultValue;
}

void SaveSetting(const QString& application, const QString& section, const QString& key, const QString& value)
{
    QSettings settings = settingsFor(application);
    // The file holds the password: keep it private before anything is written into it.
    restrictToOwner(settings.fileName());
    settings.beginGroup(section);
    const QStringList keys = settings.childKeys();
    for (const QString& stored : keys)
        if (stored != key && stored.compare(key, Qt::CaseInsensitive) == 0)
            settings.remove(stored);
    settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
    restrictToOwner(settings.fileName());
}

} // namespace zobran
