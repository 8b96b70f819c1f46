#include "db/MappedArray.h"

#include <new>

#include <sys/mman.h>

namespace zobran::db::pages {

void* take(std::size_t bytes)
{
    void* block = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED)
        throw std::bad_alloc();
    return block;
}

void* grow(void* block, std::size_t oldBytes, std::size_t newBytes)
{
    void* moved = ::mremap(block, oldBytes, newBytes, MREMAP_MAYMOVE);
    if (moved == MAP_FAILED)
        throw std::bad_alloc();
    return moved;
}

void giveBack(void* block, std::size_t bytes) noexcept
{
    ::munmap(block, bytes);
}

} // namespace zobran::db::pages
