#pragma once

#include <QString>

namespace zobran {

// What one run of the script tool needs: the values of the window's boxes and the script's path.
struct OsqlArguments {
    QString login;
    QString password;
    QString server;
    QString database;
    QString scriptPath;
};

// A value as one word for /bin/sh: verbatim when it is not empty and holds only letters, digits
// and _ . / : @ % + = , - ; otherwise in single quotes (a quote inside as '\''), so that blanks,
// $ ` " ' & ; and an empty value reach the tool as exactly one argument.
QString shellWord(const QString& value);

// "OSQL -U login -P password -S server -d database -i path", every value one shell word.
QString osqlCommandLine(const OsqlArguments& arguments);

// A file of a folder: the folder, a separator unless it ends with one already (a root), the name.
QString filePathIn(const QString& folder, const QString& fileName);

// The kind of a script file as the import windows tell it: the last three characters of the name
// or path, trimmed and in upper case ("SQL", ".KX", or anything else).
QString scriptKindOf(const QString& nameOrPath);

} // namespace zobran
