#pragma once

// The renderer process's handling of one request: its arguments, the file on its input and the
// answer on its output. Failures throw std::runtime_error with a message for the user.

#include "metafile_format.h"

#include <cstdio>
#include <span>
#include <vector>

namespace pikuta::metafile {

struct Request {
    bool draw = false;
    double dpi = 96;
    PixelSize size; // zero: the natural size
};

// argv[0] is the program's name.
Request parseArguments(int argc, const char* const* argv);

// Reads the file from `in`, refusing more than maxFileBytes.
std::vector<unsigned char> readInput(std::FILE* in);

// Inspects the file, draws or measures it and writes the answer to `out`.
void answer(const Request& request, std::span<const unsigned char> data, std::FILE* out);

// The whole process: the request, then the walls (sandbox.h), then the answer; the exit status.
// A test build runs `afterConfining` between the last two.
int rendererMain(int argc, const char* const* argv, void (*afterConfining)() = nullptr);

} // namespace pikuta::metafile
