#include "db/FreeTdsProtocol.h"

#include <QByteArray>
#include <QtGlobal>

namespace zobran::db {

void useSqlServerProtocolWithFreeTds()
{
    if (qEnvironmentVariableIsEmpty("TDSVER"))
        qputenv("TDSVER", QByteArrayLiteral("7.4"));
}

} // namespace zobran::db
