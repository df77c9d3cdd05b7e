#pragma once

namespace parlavo {

// Gives each large block (a megabyte or more: a file's bytes, its lines, a table) back to the system
// as soon as it is freed. The C library otherwise raises the size above which it maps a block on
// its own each time such a block is freed, and serves the next ones from memory it keeps: a window
// that loads files and builds its suggestion index ends up holding several megabytes of freed
// blocks.
void returnLargeBlocksWhenFreed();

} // namespace parlavo
