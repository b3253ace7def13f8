#pragma once

// Runs a program with bounded time and memory, feeding it bytes on standard input and
// collecting its standard output. The metafile libraries run there, so that a file that makes
// them loop, allocate without end or crash costs one child process and not the viewer.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pikuta::metafile {

// AddressSanitizer reserves terabytes of address space for its bookkeeping, so a renderer built
// with it cannot run under an address-space limit; its own memory limit (ASAN_OPTIONS
// hard_rss_limit_mb) bounds it instead.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool underAddressSanitizer = true;
#else
inline constexpr bool underAddressSanitizer = false;
#endif

struct ChildLimits {
    // Real drawings take well under a second here, a few under a sanitizer. Far more is a
    // drawing that loops; a loaded machine must not turn a valid drawing into a failure, so the
    // wall clock, which counts the time others use, allows more than the processor time.
    std::chrono::seconds cpuTime{5};
    std::chrono::milliseconds wallTime{12000};
    std::uint64_t addressSpaceBytes = underAddressSanitizer ? 0 : std::uint64_t{1} << 30; // 0: none
    std::size_t maxOutputBytes = 0;
};

struct ChildResult {
    bool ok = false;
    std::string error; // why it failed, for the user; empty when ok
    std::vector<unsigned char> output;
};

// Why a renderer that ended badly for no cause of our own failed, on either system: the first
// line it wrote to its error stream, or a general message.
inline std::string rendererMessage(const std::vector<unsigned char>& errorText) {
    std::string line(errorText.begin(), std::find(errorText.begin(), errorText.end(), '\n'));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line.empty() ? "the metafile renderer failed" : line;
}

// `argv` is UTF-8 text, `argv[0]` the program's path. Succeeds only when the program exits
// with status 0 within the limits.
ChildResult runChild(const std::vector<std::string>& argv, std::span<const unsigned char> input,
                     const ChildLimits& limits);

} // namespace pikuta::metafile
