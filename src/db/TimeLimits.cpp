#include "db/TimeLimits.h"

#include "db/Settings.h"

namespace zobran::db {

namespace {

int secondsSetting(const QString& key, int unset)
{
    bool ok = false;
    const int seconds = GetSetting(SettingsApplication, SettingsSection, key).trimmed().toInt(&ok);
    return ok && seconds >= 0 ? seconds : unset;
}

} // namespace

int statementTimeLimit()
{
    return secondsSetting(QStringLiteral("StatementTimeLimit"), 0);
}

int catalogTimeLimit()
{
    return secondsSetting(QStringLiteral("CatalogTimeLimit"), 30);
}

} // namespace zobran::db
