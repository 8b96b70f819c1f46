#include "db/FreedMemory.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace zobran::db {

void returnFreedMemory() noexcept
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

} // namespace zobran::db
