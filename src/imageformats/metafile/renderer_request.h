#pragma once

// The renderer process's handling of one request: its arguments, the file on its input and the
// answer on its output. Failures throw std::runtime_error with a message for the user.

#include "metafile_format.h"

#include <cstdio>

namespace pikuta::metafile {

struct Request {
    bool draw = false;
    double dpi = 96;
    PixelSize size; // zero: the natural size
};

// argv[0] is the program's name.
Request parseArguments(int argc, const char* const* argv);

// Reads the file from `in` and writes the answer to `out`.
void serve(const Request& request, std::FILE* in, std::FILE* out);

} // namespace pikuta::metafile
