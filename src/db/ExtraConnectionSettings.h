#pragma once

#include <QString>

namespace zobran::db {

// A server's "Extra connection settings": key=value pairs separated by ";" that the connection
// string carries after its own values, such as "Encrypt=yes;TrustServerCertificate=yes" for a
// server whose certificate is self-signed, or "TDS_Version=7.4" for FreeTDS.
//
// Keys are letters, digits, blanks and "_"; a key that names the driver, the data source, the
// server, the database or the login (Driver, DSN, Server, Database, Uid, Pwd and their synonyms,
// compared without regard to case and blanks) is refused, since the program sets those itself. A
// value runs to the next ";", or stands in braces ("{a;b}") to hold a ";"; a "}" is refused in
// values, since drivers disagree on where a braced value containing one ends. Every value goes
// into the connection string as odbcValue() writes values, so none can end its item early.

// The section of the settings file that keeps them, one key per server.
inline const QString ExtraSettingsSection = QStringLiteral("ExtraConnectionSettings");

// The text to append to a connection string: "" for no settings, otherwise ";Key=value" for each
// pair, in order. Raises AppError 5 with a description that names what is wrong.
QString extraSettingsText(const QString& settings);

// The extra settings remembered for a server (as the user wrote them; "" when none). The server is
// named as in the Server box, without regard to case or surrounding blanks.
QString rememberedExtraSettings(const QString& server);

// Checks the settings as extraSettingsText does (raising AppError 5 and keeping the old ones when
// they are refused) and remembers them for the server; empty settings forget them.
void rememberExtraSettings(const QString& server, const QString& settings);

// The connection string with the remembered extra settings of its server appended. Raises AppError
// 5 when the remembered ones (edited by hand) are refused.
QString withExtraSettings(const QString& connectionString, const QString& server);

} // namespace zobran::db
