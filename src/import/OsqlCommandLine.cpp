#include "import/OsqlCommandLine.h"

#include <algorithm>

namespace zobran {

namespace {

bool isPlainShellCharacter(QChar c)
{
    const char16_t u = c.unicode();
    if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9'))
        return true;
    return QStringView(u"_./:@%+=,-").contains(c);
}

} // namespace

QString shellWord(const QString& value)
{
    if (!value.isEmpty() && std::all_of(value.begin(), value.end(), isPlainShellCharacter))
        return value;
    QString quoted = value;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString osqlCommandLine(const OsqlArguments& a)
{
    return QStringLiteral("OSQL -U ") + shellWord(a.login) + QStringLiteral(" -P ") + shellWord(a.password)
        + QStringLiteral(" -S ") + shellWord(a.server) + QStringLiteral(" -d ") + shellWord(a.database)
        + QStringLiteral(" -i ") + shellWord(a.scriptPath);
}

QString filePathIn(const QString& folder, const QString& fileName)
{
    if (folder.endsWith(QLatin1Char('/')))
        return folder + fileName;
    return folder + QLatin1Char('/') + fileName;
}

QString scriptKindOf(const QString& nameOrPath)
{
    return nameOrPath.right(3).trimmed().toUpper();
}

} // namespace zobran
