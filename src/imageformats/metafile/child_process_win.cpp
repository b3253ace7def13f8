#include "child_process.h"

namespace pikuta::metafile {

// The renderer process is built for POSIX systems only; metafiles fail cleanly elsewhere.
ChildResult runChild(const std::vector<std::string>&, std::span<const unsigned char>,
                     const ChildLimits&) {
    return {false, "metafiles cannot be drawn on this system", {}};
}

} // namespace pikuta::metafile
