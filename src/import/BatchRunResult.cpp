#include "import/BatchRunResult.h"

namespace zobran {

QString BatchRunResult::outcome() const
{
    if (!started)
        return QStringLiteral("OSQL could not be started: ") + startError;
    if (stopped)
        return QStringLiteral("OSQL was ended: the run was stopped");
    if (crashed)
        return QStringLiteral("OSQL was stopped before it ended");
    return QStringLiteral("OSQL ended with exit status ") + QString::number(exitStatus);
}

} // namespace zobran
