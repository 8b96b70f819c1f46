#include "db/Settings.h"

#include <QFile>
#include <QSettings>

#include <optional>

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

// The text after "=" of the key's line in the section, exactly as written in the file, when it is
// plain (no quotes or escapes, which only the settings reader can undo).
std::optional<QString> writtenText(const QString& file, const QString& section, const QString& key)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    bool inSection = false;
    while (!in.atEnd()) {
        const QString line = QString::fromUtf8(in.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            inSection = line.mid(1, line.size() - 2).trimmed() == section;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inSection || equals <= 0 || line.left(equals).trimmed() != key)
            continue;
        const QString text = line.mid(equals + 1).trimmed();
        if (text.contains(QLatin1Char('"')) || text.contains(QLatin1Char('\\')))
            return std::nullopt;
        return text;
    }
    return std::nullopt;
}

} // namespace

QString settingsFilePath(const QString& application)
{
    return settingsFor(application).fileName();
}

void restrictSettingsFileToOwner(const QString& application)
{
    restrictToOwner(settingsFilePath(application));
}

QString GetSetting(const QString& application, const QString& section, const QString& key, const QString& defaultValue)
{
    QSettings settings = settingsFor(application);
    settings.beginGroup(section);
    const QStringList keys = settings.childKeys();
    for (const QString& stored : keys) {
        if (stored.compare(key, Qt::CaseInsensitive) != 0)
            continue;
        const QVariant value = settings.value(stored);
        // A value written by hand with a comma ("host,1433") reads as a list: give back the text.
        if (value.typeId() == QMetaType::QStringList)
            return writtenText(settings.fileName(), section, stored)
                .value_or(value.toStringList().join(QLatin1Char(',')));
        return value.toString();
    }
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

void RemoveSetting(const QString& application, const QString& section, const QString& key)
{
    QSettings settings = settingsFor(application);
    settings.beginGroup(section);
    const QStringList keys = settings.childKeys();
    bool removed = false;
    for (const QString& stored : keys)
        if (stored.compare(key, Qt::CaseInsensitive) == 0) {
            settings.remove(stored);
            removed = true;
        }
    settings.endGroup();
    if (!removed)
        return;
    settings.sync();
    restrictToOwner(settings.fileName());
}

} // namespace zobran
