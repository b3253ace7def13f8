#include "platform/process.h"

#include <windows.h>

namespace platform {

void prepare_process() {
    SetErrorMode(GetErrorMode() | SEM_FAILCRITICALERRORS);
}

} // namespace platform
