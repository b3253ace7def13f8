#include "platform/memory.h"

#include <malloc.h>

namespace platform {

void tune_memory() {
    // glibc raises its threshold for mapping blocks of their own after each large block is
    // freed, up to 32 MB; pictures below it are then carved from the heap, whose freed parts
    // stay resident. A fixed threshold keeps every picture in its own mapping.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
}

} // namespace platform
