#include "child_process.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <tuple>

using namespace pikuta::metafile;
using namespace std::chrono_literals;

namespace {

TEST(ChildProcess, BoundsTheChild) {
    // What, the script run by /bin/sh, bytes of input, success, and the standard output
    // expected or a part of the error.
    const std::tuple<const char*, std::string, std::size_t, bool, std::string> cases[] = {
        {"input is fed and output collected", "wc -c", 3 << 20, true, "3145728\n"},
        {"memory is limited", "ulimit -d", 0, true, "1048576\n"},
        {"address space is bounded loosely", "ulimit -v", 0, true, "4194304\n"},
        {"processor time is limited", "ulimit -t", 0, true, "1\n"},
        {"no core dumps", "ulimit -c", 0, true, "0\n"},
        {"a child that stops reading early", "exit 0", 8 << 20, true, ""},
        {"failure message is the first line of errors",
         "echo 'bad file' >&2; echo more >&2; exit 1", 0, false, "bad file"},
        {"silent failure", "exit 2", 0, false, "renderer failed"},
        {"crash", "kill -SEGV $$", 0, false, "signal 11"},
        {"endless work", "while :; do :; done", 0, false, "too long"},
        {"endless wait", "exec sleep 30", 0, false, "too long"},
        {"closes its output and waits", "exec >&-; exec sleep 30", 0, false, "too long"},
        {"endless output", "exec cat /dev/zero", 0, false, "more data"},
    };
    ChildLimits limits;
    limits.cpuTime = 1s;
    limits.memoryBytes = std::uint64_t{1} << 30;
    limits.addressSpaceBytes = std::uint64_t{4} << 30;
    limits.wallTime = 600ms;
    limits.maxOutputBytes = 1 << 20;
    for (const auto& [name, script, inputBytes, ok, expected] : cases) {
        SCOPED_TRACE(name);
        const std::vector<unsigned char> input(inputBytes, 'x');
        const auto start = std::chrono::steady_clock::now();
        const ChildResult result = runChild({"/bin/sh", "-c", script}, input, limits);
        EXPECT_LT(std::chrono::steady_clock::now() - start, limits.wallTime + 300ms);
        EXPECT_EQ(result.ok, ok) << result.error;
        const std::string output(result.output.begin(), result.output.end());
        EXPECT_TRUE(ok ? output == expected : result.error.find(expected) != std::string::npos)
            << "output: " << output << "\nerror: " << result.error;
    }
    const ChildResult missing = runChild({"/nonexistent/pikuta-metafile"}, {}, limits);
    EXPECT_FALSE(missing.ok);
    EXPECT_NE(missing.error.find("could not be started"), std::string::npos) << missing.error;
}

TEST(ChildProcess, OnlyAStuckChildIsStoppedBeforeTheWallTime) {
    // Half a second of processor time or more, which a busy machine spreads further; a wait
    // for nothing, stopped soon after it has had no processor time for the stall time.
    const std::tuple<const char*, std::string, bool, std::string> cases[] = {
        {"keeps working", "i=0; while [ $i -lt 800000 ]; do i=$((i+1)); done; echo $i", true,
         "800000\n"},
        {"waits for nothing", "exec sleep 10", false, "too long"},
    };
    ChildLimits limits;
    limits.stallTime = 300ms;
    limits.maxOutputBytes = 64;
    for (const auto& [name, script, ok, expected] : cases) {
        SCOPED_TRACE(name);
        const auto start = std::chrono::steady_clock::now();
        const ChildResult result = runChild({"/bin/sh", "-c", script}, {}, limits);
        EXPECT_EQ(result.ok, ok) << result.error;
        const std::string output(result.output.begin(), result.output.end());
        EXPECT_TRUE(ok ? output == expected : result.error.find(expected) != std::string::npos)
            << "output: " << output << "\nerror: " << result.error;
        if (!ok) {
            EXPECT_LT(std::chrono::steady_clock::now() - start, limits.stallTime + 1s);
        }
    }
}

} // namespace
