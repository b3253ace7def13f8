// A test build of the renderer that, once shut in, does what code smuggled in by a crafted
// metafile would: PIKUTA_TEST_ESCAPE says what ("read FILE", "write FILE", "socket",
// "run PROGRAM", or "status": report its own /proc status). An attempt that succeeds lets the
// picture be drawn as usual; one that is refused fails the picture with "refused: why".
// PIKUTA_TEST_OLD_KERNEL makes the kernel look as if it offered no walls at all.

#include "renderer_request.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <seccomp.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

[[noreturn]] void refused(int error) {
    throw std::runtime_error(std::string("refused: ") + std::strerror(error));
}

void tryToRun(const std::string& program) {
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    pid_t pid = 0;
    int status = 0;
    const int error = ::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ);
    if (error != 0) refused(error);
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("refused: the program did not run");
}

[[noreturn]] void reportStatus() {
    std::ifstream status("/proc/self/status");
    std::string line, report = "status:";
    while (std::getline(status, line))
        if (line.starts_with("NoNewPrivs:") || line.starts_with("Seccomp:"))
            report += " " + line.substr(0, line.find(':') + 1) + " " +
                      line.substr(line.find_first_not_of(" \t", line.find(':') + 1));
    throw std::runtime_error(report);
}

void tryToEscape() {
    const char* attempt = std::getenv("PIKUTA_TEST_ESCAPE");
    if (!attempt) return;
    const std::string what(attempt);
    const std::string argument = what.substr(std::min(what.size(), what.find(' ') + 1));
    if (what.starts_with("run ")) tryToRun(argument);
    if (what == "status") reportStatus();
    // What the walls stop is the opening: of a file to read, of one to create, of a socket.
    int fd = 0;
    if (what.starts_with("read ")) fd = ::open(argument.c_str(), O_RDONLY);
    if (what.starts_with("write "))
        fd = ::open(argument.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (what == "socket") fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) refused(errno);
    if (fd > 0) ::close(fd);
}

// Refuses the calls that set up the walls as a kernel without them does.
void pretendOldKernel() {
    const scmp_filter_ctx filter = seccomp_init(SCMP_ACT_ALLOW);
    for (const char* name : {"landlock_create_ruleset", "landlock_add_rule",
                             "landlock_restrict_self", "seccomp"})
        seccomp_rule_add(filter, SCMP_ACT_ERRNO(ENOSYS), seccomp_syscall_resolve_name(name), 0);
    seccomp_rule_add(filter, SCMP_ACT_ERRNO(EINVAL), SCMP_SYS(prctl), 1,
                     SCMP_A0_32(SCMP_CMP_EQ, PR_SET_SECCOMP));
    if (seccomp_load(filter) != 0) std::abort();
    seccomp_release(filter);
}

} // namespace

int main(int argc, char** argv) {
    if (std::getenv("PIKUTA_TEST_OLD_KERNEL")) pretendOldKernel();
    return pikuta::metafile::rendererMain(argc, argv, tryToEscape);
}
