#pragma once

#include <QString>

namespace zobran {

// The remembered values live under this application name and section.
inline const QString SettingsApplication = QStringLiteral("ORMIND");
inline const QString SettingsSection = QStringLiteral("GeneralSetting");

// A remembered key: found under any spelling, written with one.
struct SettingKey {
    QString readAs;
    QString writtenAs;
};

namespace settingkeys {
inline const SettingKey Server{QStringLiteral("cserver"), QStringLiteral("cServer")};
inline const SettingKey Database{QStringLiteral("ConnTable"), QStringLiteral("ConnTable")};
inline const SettingKey Login{QStringLiteral("clogin"), QStringLiteral("cLogin")};
inline const SettingKey Password{QStringLiteral("cpassword"), QStringLiteral("cPassword")};
} // namespace settingkeys

// Reads a remembered value; keys compare without regard to case; a missing key gives the default. A
// value written by hand with commas in it (cServer=host,1433) comes back as the text written.
QString GetSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue = QString());

// Writes a value under exactly this spelling of the key, replacing any other spelling of it. The
// file is readable by its owner only, since it holds the password.
void SaveSetting(const QString& application, const QString& section, const QString& key, const QString& value);

// Removes a remembered value under every spelling of its key; nothing happens when it is missing.
void RemoveSetting(const QString& application, const QString& section, const QString& key);

// The file that keeps an application's values (under the user's configuration folder).
QString settingsFilePath(const QString& application);

// Makes the application's settings file readable and writable by its owner only (when it exists).
void restrictSettingsFileToOwner(const QString& application);

} // namespace zobran
