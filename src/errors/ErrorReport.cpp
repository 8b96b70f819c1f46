#include "errors/ErrorReport.h"

namespace zobran {

ErrorReport& ErrReport()
{
    static ErrorReport report;
    return report;
}

} // namespace zobran
