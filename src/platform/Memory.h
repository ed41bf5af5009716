#pragma once

// Hints to the system about how the program uses its memory.

#include <QtGlobal>

namespace Memory {

// Asks for large pages for a fresh block of memory before it is first
// written. A block of tens of megabytes (a million records) is otherwise
// mapped 4 KB at a time, one fault each, and those faults cost several times
// what reading the file into it does. The whole 2 MB pages inside the block
// are advised; a smaller block, or a system without them, is left as it is.
void PreferLargePages(void* block, qint64 bytes);

} // namespace Memory
