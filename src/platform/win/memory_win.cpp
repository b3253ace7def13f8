#include "platform/memory.h"

namespace platform {

// The Windows heap hands large blocks back to the system by itself.
void tune_memory() {}

} // namespace platform
