#pragma once

namespace zobran::db {

// Hands the memory the C library keeps after freeing back to the system: after a large result has
// been released (the grid emptied, a generation done), the process shrinks again instead of
// keeping the peak of its largest result for the rest of the session.
void returnFreedMemory() noexcept;

} // namespace zobran::db
