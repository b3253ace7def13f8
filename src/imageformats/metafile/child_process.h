#pragma once

// Runs a program with bounded time and memory, feeding it bytes on standard input and
// collecting its standard output. The metafile libraries run there, so that a file that makes
// them loop, allocate without end or crash costs one child process and not the viewer.

#include "renderer_protocol.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pikuta::metafile {

// AddressSanitizer maps terabytes of writable memory for its bookkeeping, so a renderer built
// with it cannot run under a memory limit; its own (ASAN_OPTIONS hard_rss_limit_mb) bounds it
// instead.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool underAddressSanitizer = true;
#else
inline constexpr bool underAddressSanitizer = false;
#endif

struct ChildLimits {
    // Real drawings take well under a second of processor time here, a few under a sanitizer.
    // Far more is a drawing that loops.
    std::chrono::seconds cpuTime{5};
    // The wall clock counts the time others use, and a machine busy with other work gives even a
    // valid drawing its processor time slowly. So only a child that gets none for `stallTime`
    // (it waits for something that never comes) is stuck; `wallTime` bounds the rest.
    std::chrono::milliseconds stallTime{5000};
    std::chrono::milliseconds wallTime{60000};
    // 0: none. The memory the child writes to (its heap, thread stacks, pixel buffers) is what a
    // picture needs, and the same from run to run. Address space is not: the C library reserves
    // 64 MB per thread that allocates, and how many threads overlap depends on timing. It gets
    // only a loose bound, against memory the first figure does not count (shared mappings).
    std::uint64_t memoryBytes = underAddressSanitizer ? 0 : std::uint64_t{1} << 30;
    std::uint64_t addressSpaceBytes = underAddressSanitizer ? 0 : std::uint64_t{4} << 30;
    std::size_t maxOutputBytes = 0;
};

struct ChildResult {
    bool ok = false;
    std::string error; // why it failed, for the user; empty when ok
    std::vector<unsigned char> output;
    // Which walls the child ran without, one per line (renderer_protocol.h); empty when it had
    // them all.
    std::string notice;
};

// Tells when a child has taken too long (see ChildLimits), from the processor time it has used
// so far in any unit, as `used` reads it (nothing when it cannot be read).
class ChildWatch {
  public:
    using Clock = std::chrono::steady_clock;
    using Reader = std::function<std::optional<std::uint64_t>()>;

    ChildWatch(const ChildLimits& limits, Reader used)
        : limits_(limits), used_(std::move(used)), end_(Clock::now() + limits.wallTime),
          progress_(Clock::now()) {}

    // How long to wait before looking again; zero once the child has taken too long.
    std::chrono::milliseconds untilNextLook() {
        const auto now = Clock::now();
        if (now >= nextLook_) {
            nextLook_ = now + std::min(lookEvery, limits_.stallTime / 4);
            if (const auto used = used_(); used && used != lastUsed_) {
                lastUsed_ = used;
                progress_ = now;
            }
        }
        const auto limit = std::min(end_, progress_ + limits_.stallTime);
        if (now >= limit) return std::chrono::milliseconds(0);
        return std::max(std::chrono::milliseconds(1), std::chrono::ceil<std::chrono::milliseconds>(
                                                          std::min(limit, nextLook_) - now));
    }

  private:
    static constexpr std::chrono::milliseconds lookEvery{250};
    ChildLimits limits_;
    Reader used_;
    Clock::time_point end_;
    Clock::time_point progress_;
    Clock::time_point nextLook_;
    std::optional<std::uint64_t> lastUsed_;
};

// The lines of a renderer's error stream: its notices, then the first other line.
struct RendererErrors {
    std::string notice;
    std::string message;
};

inline RendererErrors rendererErrors(const std::vector<unsigned char>& errorText) {
    RendererErrors errors;
    for (auto at = errorText.begin(); at != errorText.end() && errors.message.empty();) {
        const auto end = std::find(at, errorText.end(), '\n');
        std::string line(at, end);
        at = end == errorText.end() ? end : end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.starts_with(protocol::noticePrefix)) {
            errors.message = line;
            continue;
        }
        if (!errors.notice.empty()) errors.notice += '\n';
        errors.notice.append(line, std::string_view(protocol::noticePrefix).size());
    }
    return errors;
}

// Why a renderer that ended badly for no cause of our own failed, on either system: the first
// line it wrote to its error stream that is not a notice, or a general message.
inline std::string rendererMessage(const std::vector<unsigned char>& errorText) {
    std::string line = rendererErrors(errorText).message;
    return line.empty() ? "the metafile renderer failed" : line;
}

// `argv` is UTF-8 text, `argv[0]` the program's path. Succeeds only when the program exits
// with status 0 within the limits.
ChildResult runChild(const std::vector<std::string>& argv, std::span<const unsigned char> input,
                     const ChildLimits& limits);

} // namespace pikuta::metafile
