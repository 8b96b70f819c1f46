#include "basics/NumericLocale.h"

#include <clocale>

namespace zobran {

void keepNumbersInCLocale()
{
    std::setlocale(LC_NUMERIC, "C");
}

} // namespace zobran
