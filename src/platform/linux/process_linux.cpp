#include "platform/process.h"

namespace platform {

// The system asks nothing in dialogs of its own here.
void prepare_process() {}

} // namespace platform
