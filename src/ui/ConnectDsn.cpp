#include "ui/ConnectDsn.h"

#include "db/SharedConnections.h"
#include "ui/ReportError.h"

namespace zobran {

void ConnectDSN()
{
    runGuarded(QStringLiteral("Module1"), QStringLiteral("ConnectDSN"), [] { openSharedConnection(); });
}

} // namespace zobran
