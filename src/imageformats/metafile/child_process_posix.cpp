#include "child_process.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <string>
#include <utility>

namespace pikuta::metafile {

namespace {

constexpr std::size_t maxErrorBytes = 4096;
constexpr int execFailed = 127;

class Fd {
  public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(Fd&& other) noexcept {
        reset();
        fd_ = std::exchange(other.fd_, -1);
        return *this;
    }
    ~Fd() { reset(); }
    int get() const { return fd_; }
    bool open() const { return fd_ >= 0; }
    void reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

  private:
    int fd_ = -1;
};

struct Channel {
    Fd parent;
    Fd child;
};

// Standard input is a socket so that writing to a child that has died returns EPIPE
// (MSG_NOSIGNAL) instead of raising SIGPIPE in the viewer.
bool openChannels(Channel& in, Channel& out, Channel& err) {
    int sv[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0) return false;
    in = {Fd(sv[0]), Fd(sv[1])};
    for (Channel* c : {&out, &err}) {
        int p[2];
        if (::pipe2(p, O_CLOEXEC) != 0) return false;
        *c = {Fd(p[0]), Fd(p[1])};
    }
    return true;
}

struct ChildSetup {
    rlimit data;
    rlimit addressSpace;
    rlimit cpu;
    rlimit core{0, 0};
    sigset_t noSignalsBlocked;
};

rlimit bytesLimit(std::uint64_t bytes) {
    const rlim_t limit = bytes == 0 ? RLIM_INFINITY : rlim_t(bytes);
    return {limit, limit};
}

ChildSetup prepareSetup(const ChildLimits& limits) {
    const auto cpuSeconds = static_cast<rlim_t>(limits.cpuTime.count());
    ChildSetup setup{bytesLimit(limits.memoryBytes), bytesLimit(limits.addressSpaceBytes),
                     {cpuSeconds, cpuSeconds + 1}, {0, 0}, {}};
    sigemptyset(&setup.noSignalsBlocked);
    return setup;
}

// Runs between fork and exec, so it uses async-signal-safe calls only.
[[noreturn]] void becomeChild(char* const argv[], const ChildSetup& setup, int in, int out,
                              int err) {
    if (::setrlimit(RLIMIT_DATA, &setup.data) != 0 ||
        ::setrlimit(RLIMIT_AS, &setup.addressSpace) != 0 ||
        ::setrlimit(RLIMIT_CPU, &setup.cpu) != 0 || ::setrlimit(RLIMIT_CORE, &setup.core) != 0 ||
        ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) {
        ::_exit(execFailed);
    }
    ::sigprocmask(SIG_SETMASK, &setup.noSignalsBlocked, nullptr);
    ::close_range(3, ~0U, 0);
    ::execv(argv[0], argv);
    ::_exit(execFailed);
}

// The first line of a file under /proc/PID.
std::optional<std::string> processFile(pid_t pid, const char* name) {
    char path[48];
    std::snprintf(path, sizeof path, "/proc/%d/%s", int(pid), name);
    const Fd fd(::open(path, O_RDONLY | O_CLOEXEC));
    char text[1024];
    const ssize_t n = fd.open() ? ::read(fd.get(), text, sizeof text - 1) : -1;
    if (n <= 0) return std::nullopt;
    return std::string(text, std::size_t(n));
}

// Processor time the child has had (with that of the children it waited for), and the time its
// main thread was ready to run but waited for a processor: a child kept waiting by other work
// is not stuck.
std::optional<std::uint64_t> processorTime(pid_t pid) {
    const auto stat = processFile(pid, "stat");
    // After the name in parentheses: state and ten more fields, then the four times in ticks.
    const auto name = stat ? stat->rfind(')') : std::string::npos;
    std::uint64_t t[4] = {};
    if (name == std::string::npos ||
        std::sscanf(stat->c_str() + name + 1,
                    " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %" SCNu64 " %" SCNu64 " %" SCNu64
                    " %" SCNu64, &t[0], &t[1],
                    &t[2], &t[3]) != 4)
        return std::nullopt;
    std::uint64_t ran = 0, waited = 0;
    if (const auto schedule = processFile(pid, "schedstat"))
        std::sscanf(schedule->c_str(), "%" SCNu64 " %" SCNu64, &ran, &waited);
    return t[0] + t[1] + t[2] + t[3] + ran + waited;
}

// Reads what is there; closes the descriptor at end of data. Keeps at most `keep` bytes.
void drain(Fd& fd, std::vector<unsigned char>& into, std::size_t keep) {
    unsigned char buffer[1 << 16];
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) return;
    if (n <= 0) {
        fd.reset();
        return;
    }
    const auto room = keep - std::min(keep, into.size());
    into.insert(into.end(), buffer, buffer + std::min<std::size_t>(room, n));
}

void feed(Fd& fd, std::span<const unsigned char>& input) {
    const ssize_t n = ::send(fd.get(), input.data(), input.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
    if (n < 0) {
        fd.reset(); // the child stopped reading; its exit status tells why
        return;
    }
    input = input.subspan(n);
    if (input.empty()) fd.reset();
}

enum class Pumped { Done, TimedOut, TooMuchOutput };

Pumped pump(Channel& in, Channel& out, Channel& err, std::span<const unsigned char> input,
            ChildWatch& watch, std::size_t maxOutput, ChildResult& result,
            std::vector<unsigned char>& errorText) {
    if (input.empty()) in.parent.reset();
    while (out.parent.open() || err.parent.open()) {
        const int left = int(watch.untilNextLook().count());
        if (left == 0) return Pumped::TimedOut;
        pollfd fds[] = {{in.parent.get(), POLLOUT, 0},
                        {out.parent.get(), POLLIN, 0},
                        {err.parent.get(), POLLIN, 0}};
        if (::poll(fds, 3, left) <= 0) continue;
        if (fds[0].revents != 0) feed(in.parent, input);
        if (fds[1].revents != 0) drain(out.parent, result.output, maxOutput + 1);
        if (fds[2].revents != 0) drain(err.parent, errorText, maxErrorBytes);
        if (result.output.size() > maxOutput) return Pumped::TooMuchOutput;
    }
    return Pumped::Done;
}

enum class Reaped { Exited, Killed, Lost };

// Waits for the child while the watch allows (not at all without one), then kills it.
Reaped reap(pid_t pid, ChildWatch* watch, int& status) {
    for (;;) {
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid) return Reaped::Exited;
        // Someone else reaped it (SIGCHLD ignored); its pid may be reused, so no kill.
        if (r < 0 && errno != EINTR) return Reaped::Lost;
        if (!watch || watch->untilNextLook().count() == 0) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ::kill(pid, SIGKILL);
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return Reaped::Killed;
}

std::string describeFailure(int status, const std::vector<unsigned char>& errorText) {
    if (WIFSIGNALED(status)) {
        if (WTERMSIG(status) == SIGXCPU) return "the picture took too long to draw";
        if (WTERMSIG(status) == SIGSYS) return "the renderer was stopped for reaching past its walls";
        return "the drawing library failed (signal " + std::to_string(WTERMSIG(status)) + ")";
    }
    if (WEXITSTATUS(status) == execFailed) return "the metafile renderer could not be started";
    return rendererMessage(errorText);
}

ChildResult failure(std::string why) {
    return {false, std::move(why), {}, {}};
}

} // namespace

ChildResult runChild(const std::vector<std::string>& argv, std::span<const unsigned char> input,
                     const ChildLimits& limits) {
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const ChildSetup setup = prepareSetup(limits);

    Channel in, out, err;
    if (argv.empty() || !openChannels(in, out, err)) return failure("cannot start a process");
    const pid_t pid = ::fork();
    if (pid < 0) return failure("cannot start a process");
    if (pid == 0) becomeChild(args.data(), setup, in.child.get(), out.child.get(), err.child.get());
    in.child.reset();
    out.child.reset();
    err.child.reset();

    ChildWatch watch(limits, [pid] { return processorTime(pid); });
    ChildResult result;
    std::vector<unsigned char> errorText;
    const Pumped pumped = pump(in, out, err, input, watch, limits.maxOutputBytes, result, errorText);
    int status = 0;
    const Reaped reaped = reap(pid, pumped == Pumped::Done ? &watch : nullptr, status);
    if (pumped == Pumped::TooMuchOutput) return failure("the renderer sent more data than asked");
    if (reaped == Reaped::Killed) return failure("the picture took too long to draw");
    if (reaped == Reaped::Lost) return failure("the metafile renderer vanished");
    result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!result.ok) {
        result.output.clear();
        result.error = describeFailure(status, errorText);
    }
    result.notice = rendererErrors(errorText).notice;
    return result;
}

} // namespace pikuta::metafile
