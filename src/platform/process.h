#pragma once

namespace platform {

// Settles how the system treats this process, once, before anything else runs. On Windows a
// drive without a medium (an empty card-reader slot, a remembered folder on it) then makes a
// call fail instead of the system asking for a medium in a dialog of its own; the metafile
// renderer inherits this.
void prepare_process();

} // namespace platform
