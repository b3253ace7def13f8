#include "child_process.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <tuple>

using namespace pikuta::metafile;
using namespace std::chrono_literals;

namespace {

TEST(ChildProcess, BoundsTheChild) {
    ChildLimits bounded;
    bounded.cpuTime = 1s;
    bounded.memoryBytes = std::uint64_t{1} << 30;
    bounded.addressSpaceBytes = std::uint64_t{4} << 30;
    bounded.wallTime = 600ms;
    bounded.maxOutputBytes = 1 << 20;
    // Only a stuck child is stopped before the wall time: one that has had no processor time
    // for the stall time.
    ChildLimits patient;
    patient.stallTime = 300ms;
    patient.maxOutputBytes = 64;
    // What, the limits, the script run by /bin/sh, bytes of input, success, and the standard
    // output expected or a part of the error.
    const std::tuple<const char*, const ChildLimits*, std::string, std::size_t, bool, std::string>
        cases[] = {
            {"input is fed and output collected", &bounded, "wc -c", 3 << 20, true, "3145728\n"},
            {"memory is limited", &bounded, "ulimit -d", 0, true, "1048576\n"},
            {"address space is bounded loosely", &bounded, "ulimit -v", 0, true, "4194304\n"},
            {"processor time is limited", &bounded, "ulimit -t", 0, true, "1\n"},
            {"no core dumps", &bounded, "ulimit -c", 0, true, "0\n"},
            {"a child that stops reading early", &bounded, "exit 0", 8 << 20, true, ""},
            {"failure message is the first line of errors", &bounded,
             "echo 'bad file' >&2; echo more >&2; exit 1", 0, false, "bad file"},
            {"silent failure", &bounded, "exit 2", 0, false, "renderer failed"},
            {"crash", &bounded, "kill -SEGV $$", 0, false, "signal 11"},
            {"endless work", &bounded, "while :; do :; done", 0, false, "too long"},
            {"endless wait", &bounded, "exec sleep 30", 0, false, "too long"},
            {"closes its output and waits", &bounded, "exec >&-; exec sleep 30", 0, false,
             "too long"},
            {"endless output", &bounded, "exec cat /dev/zero", 0, false, "more data"},
            // Half a second of processor time or more, which a busy machine spreads further.
            {"keeps working", &patient,
             "i=0; while [ $i -lt 800000 ]; do i=$((i+1)); done; echo $i", 0, true, "800000\n"},
            {"waits for nothing", &patient, "exec sleep 10", 0, false, "too long"},
        };
    for (const auto& [name, limits, script, inputBytes, ok, expected] : cases) {
        SCOPED_TRACE(name);
        const std::vector<unsigned char> input(inputBytes, 'x');
        const auto start = std::chrono::steady_clock::now();
        const ChildResult result = runChild({"/bin/sh", "-c", script}, input, *limits);
        EXPECT_LT(std::chrono::steady_clock::now() - start,
                  ok && limits == &patient
                      ? limits->wallTime
                      : std::min(limits->wallTime + 300ms, limits->stallTime + 1s));
        EXPECT_EQ(result.ok, ok) << result.error;
        const std::string output(result.output.begin(), result.output.end());
        EXPECT_TRUE(ok ? output == expected : result.error.find(expected) != std::string::npos)
            << "output: " << output << "\nerror: " << result.error;
    }
}

} // namespace
