#include "db/BatchSize.h"

#include "db/Settings.h"

namespace zobran::db {

int statementBatchSize()
{
    constexpr int Unset = 100;
    bool ok = false;
    const int size
        = GetSetting(SettingsApplication, SettingsSection, QStringLiteral("KxBatchSize")).trimmed().toInt(&ok);
    return ok && size >= 1 ? size : Unset;
}

} // namespace zobran::db
