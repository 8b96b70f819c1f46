#include "basics/RunStopped.h"

namespace zobran {

RunStopped::RunStopped()
    : AppError(errnum::OperationCancelled, QStringLiteral("Operation has been cancelled by the user."))
{
}

} // namespace zobran
