#pragma once

#include <functional>

namespace zobran::db {

// Blocks of rows going round between two threads: a thread of the pipeline's own fills them (the
// driver fetches) while the caller's thread drains them (converts their rows and hands them on),
// each block in turn once drained. Blocks are named by their index, 0 to blockCount - 1; the
// caller owns them.
//
// fill(block) fills a block and returns true when it is the last one (it may hold no rows); every
// filled block is drained, on the caller's thread, in the order filled. A block is filled again
// only after it has been drained, so at most blockCount blocks are ahead of the caller.
//
// When fill fails, the blocks filled before are drained and then its failure is raised here. When
// drain fails (the sink refuses a row, the run is stopped), the filling thread fills no block after
// the one it is filling and has ended when the failure comes out here.
void runBlockPipeline(int blockCount, const std::function<bool(int block)>& fill,
                      const std::function<void(int block)>& drain);

} // namespace zobran::db
