#include "db/ExtraConnectionSettings.h"

#include "basics/AppError.h"
#include "db/ConnectionString.h"
#include "db/Settings.h"

#include <QList>
#include <QSet>

namespace zobran::db {

namespace {

// Keys the program sets itself, or synonyms drivers take for them, in the form normalKey() gives.
const QSet<QString> ReservedKeys{
    // the driver and the data source
    QStringLiteral("driver"), QStringLiteral("dsn"), QStringLiteral("filedsn"), QStringLiteral("savefile"),
    // the server
    QStringLiteral("server"), QStringLiteral("servername"), QStringLiteral("address"), QStringLiteral("addr"),
    QStringLiteral("networkaddress"), QStringLiteral("host"), QStringLiteral("port"), QStringLiteral("datasource"),
    // the database
    QStringLiteral("database"), QStringLiteral("initialcatalog"),
    // the login
    QStringLiteral("uid"), QStringLiteral("user"), QStringLiteral("userid"), QStringLiteral("username"),
    QStringLiteral("pwd"), QStringLiteral("password")};

struct Setting {
    QString key;
    QString value;
};

QString normalKey(QString key)
{
    key.remove(QLatin1Char(' '));
    key.remove(QLatin1Char('_'));
    return key.toLower();
}

[[noreturn]] void refuse(const QString& why)
{
    throw AppError(errnum::InvalidArgument, QStringLiteral("Extra connection settings: ") + why);
}

void checkKey(const QString& key, const QString& item)
{
    if (key.isEmpty())
        refuse(QStringLiteral("\"%1\" has no key before \"=\".").arg(item));
    for (const QChar c : key)
        if (!(c.isLetterOrNumber() || c == QLatin1Char(' ') || c == QLatin1Char('_')) || c.unicode() > 0x7f)
            refuse(QStringLiteral("the key \"%1\" may hold only letters, digits, blanks and \"_\".").arg(key));
    if (ReservedKeys.contains(normalKey(key)))
        refuse(QStringLiteral("the key \"%1\" is not allowed here: the driver, the server, the database and the "
                              "login are set by the program itself.")
                   .arg(key));
}

void checkValue(const QString& key, const QString& value)
{
    for (const QChar c : value)
        if (c.category() == QChar::Other_Control)
            refuse(QStringLiteral("the value of \"%1\" holds a control character.").arg(key));
}

qsizetype skipBlanks(const QString& text, qsizetype i)
{
    while (i < text.size() && text[i].isSpace())
        ++i;
    return i;
}

QList<Setting> parseSettings(const QString& text)
{
    QList<Setting> settings;
    QSet<QString> seen;
    qsizetype i = 0;
    while ((i = skipBlanks(text, i)) < text.size()) {
        if (text[i] == QLatin1Char(';')) {
            ++i;
            continue;
        }
        const qsizetype itemEnd
            = text.indexOf(QLatin1Char(';'), i) < 0 ? text.size() : text.indexOf(QLatin1Char(';'), i);
        const qsizetype equals = text.indexOf(QLatin1Char('='), i);
        if (equals < 0 || equals > itemEnd)
            refuse(QStringLiteral("\"%1\" is not of the form key=value.").arg(text.mid(i, itemEnd - i).trimmed()));
        Setting setting;
        setting.key = text.mid(i, equals - i).trimmed();
        checkKey(setting.key, text.mid(i, itemEnd - i).trimmed());
        if (seen.contains(normalKey(setting.key)))
            refuse(QStringLiteral("the key \"%1\" is given twice.").arg(setting.key));
        seen.insert(normalKey(setting.key));

        qsizetype j = skipBlanks(text, equals + 1);
        if (j < text.size() && text[j] == QLatin1Char('{')) {
            const qsizetype close = text.indexOf(QLatin1Char('}'), j + 1);
            if (close < 0)
                refuse(QStringLiteral("the value of \"%1\" opens a brace that is never closed.").arg(setting.key));
            setting.value = text.mid(j + 1, close - j - 1);
            j = skipBlanks(text, close + 1);
            if (j < text.size() && text[j] != QLatin1Char(';'))
                refuse(QStringLiteral("the braced value of \"%1\" is followed by \"%2\" instead of \";\" (a \"}\" "
                                      "cannot stand inside a value).")
                           .arg(setting.key, text.mid(j, 1)));
            i = j + 1;
        } else {
            const qsizetype end
                = text.indexOf(QLatin1Char(';'), j) < 0 ? text.size() : text.indexOf(QLatin1Char(';'), j);
            setting.value = text.mid(j, end - j).trimmed();
            if (setting.value.contains(QLatin1Char('{')) || setting.value.contains(QLatin1Char('}')))
                refuse(QStringLiteral("the value of \"%1\" holds a brace: write a value with \";\" in braces, as "
                                      "{a;b}, and without \"}\".")
                           .arg(setting.key));
            i = end + 1;
        }
        checkValue(setting.key, setting.value);
        settings.append(setting);
    }
    return settings;
}

// The settings key of a server: its name, with the characters the settings file takes as group
// separators ("/" and "\", both common in server names) written as %XX.
QString serverKey(const QString& server)
{
    QString key = server.trimmed();
    key.replace(QLatin1Char('%'), QStringLiteral("%25"));
    key.replace(QLatin1Char('/'), QStringLiteral("%2F"));
    key.replace(QLatin1Char('\\'), QStringLiteral("%5C"));
    return key;
}

} // namespace

QString extraSettingsText(const QString& settings)
{
    QString text;
    for (const Setting& setting : parseSettings(settings))
        text += QLatin1Char(';') + setting.key + QLatin1Char('=') + odbcValue(setting.value);
    return text;
}

QString rememberedExtraSettings(const QString& server)
{
    if (server.trimmed().isEmpty())
        return {};
    return GetSetting(SettingsApplication, ExtraSettingsSection, serverKey(server));
}

void rememberExtraSettings(const QString& server, const QString& settings)
{
    if (server.trimmed().isEmpty())
        refuse(QStringLiteral("no server name."));
    extraSettingsText(settings);
    if (settings.trimmed().isEmpty())
        RemoveSetting(SettingsApplication, ExtraSettingsSection, serverKey(server));
    else
        SaveSetting(SettingsApplication, ExtraSettingsSection, serverKey(server), settings.trimmed());
}

QString withExtraSettings(const QString& connectionString, const QString& server)
{
    return connectionString + extraSettingsText(rememberedExtraSettings(server));
}

} // namespace zobran::db
