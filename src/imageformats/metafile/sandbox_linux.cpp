// The renderer's walls on Linux: no new privileges, a filesystem view (Landlock) that lets it
// read what drawing text needs and write nothing, and a system call filter (seccomp) that
// refuses everything drawing does not use, starting programs and opening sockets among it.
// Each works without the others; what the kernel does not offer is left out and reported.

#include "sandbox.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/landlock.h>
#include <memory>
#include <string_view>
#include <sched.h>
#include <seccomp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/ioctl.h>
#include <unistd.h>

// The leak checker stops the process's threads with a tracing helper process when the process
// ends; a renderer built with it must be allowed that.
#if defined(__SANITIZE_ADDRESS__)
#define PIKUTA_LEAK_CHECKER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(leak_sanitizer)
#define PIKUTA_LEAK_CHECKER 1
#endif
#endif
#ifndef PIKUTA_LEAK_CHECKER
#define PIKUTA_LEAK_CHECKER 0
#endif

namespace pikuta::metafile {

namespace {

constexpr bool leakChecker = PIKUTA_LEAK_CHECKER;

std::string why(int error) {
    return std::strerror(error);
}

// ---- the filesystem view --------------------------------------------------------------------

// Rights the kernel knows at each version of its interface (index: version - 1), all of which
// the view takes away unless a rule gives them back. Later versions add truncating (3) and
// device controls (5); version 4 adds TCP, version 6 signals and abstract sockets to others.
constexpr std::uint64_t fileRights[] = {(1ULL << 13) - 1, (1ULL << 14) - 1, (1ULL << 15) - 1,
                                        (1ULL << 15) - 1, (1ULL << 16) - 1};
constexpr std::uint64_t tcpBindAndConnect = 0x3;
constexpr std::uint64_t signalsAndAbstractSockets = 0x3;
constexpr std::uint64_t readRights = LANDLOCK_ACCESS_FS_READ_FILE | LANDLOCK_ACCESS_FS_READ_DIR;

struct RulesetAttributes {
    std::uint64_t files = 0;
    std::uint64_t network = 0;
    std::uint64_t scoped = 0;
};

class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }

  private:
    int fd_;
};

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// A folder from the environment, or its usual place in the home folder.
std::string userFolder(const char* variable, const std::string& home, const char* usual) {
    const std::string set = environment(variable);
    if (!set.empty() && set.front() == '/') return set;
    return home.empty() ? "" : home + usual;
}

// The file named by "suppressions=" in a sanitizer's options.
std::string sanitizerSuppressions(const std::string& options) {
    constexpr std::string_view key = "suppressions=";
    const auto at = options.find(key);
    if (at == std::string::npos) return {};
    const auto start = at + key.size();
    return options.substr(start, options.find_first_of(": ", start) - start);
}

// What drawing reads: the font configurations (the text library's and the WMF library's), the
// fonts and their caches (the system's and the user's), and the shared data and libraries the
// drawing libraries load as they go (image loaders, character set tables, the MIME database,
// message catalogues). Missing ones are skipped.
std::vector<std::string> readableForDrawing() {
    std::vector<std::string> paths = {"/usr/share", "/usr/lib", "/usr/lib64",
                                      "/usr/local/share/fonts", "/etc/fonts",
                                      "/var/cache/fontconfig", "/var/lib/ghostscript/fonts",
                                      "/etc/ld.so.cache", "/etc/locale.alias",
                                      // The process's own state, which the C library reads.
                                      "/proc/self"};
    const std::string home = environment("HOME");
    for (const char* usual : {"/.fonts", "/.fonts.conf", "/.fonts.conf.d", "/.fontconfig"})
        if (!home.empty()) paths.push_back(home + usual);
    paths.push_back(userFolder("XDG_DATA_HOME", home, "/.local/share") + "/fonts");
    paths.push_back(userFolder("XDG_CACHE_HOME", home, "/.cache") + "/fontconfig");
    paths.push_back(userFolder("XDG_CONFIG_HOME", home, "/.config") + "/fontconfig");
    paths.push_back(environment("FONTCONFIG_FILE"));
    const std::string configPath = environment("FONTCONFIG_PATH");
    for (std::size_t at = 0; at <= configPath.size();) {
        const std::size_t end = std::min(configPath.find(':', at), configPath.size());
        paths.push_back(configPath.substr(at, end - at));
        at = end + 1;
    }
    // A sanitizer's report names source lines, which it reads from the program itself, and the
    // leak checker reads its suppressions when the process ends.
    if (leakChecker) {
        paths.push_back("/proc/self/exe");
        for (const char* variable : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"})
            paths.push_back(sanitizerSuppressions(environment(variable)));
    }
    return paths;
}

bool addRule(int ruleset, const std::string& path, std::uint64_t rights) {
    if (path.empty() || path.front() != '/') return true;
    const Fd fd(::open(path.c_str(), O_PATH | O_CLOEXEC));
    struct stat info {};
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0) return true; // nothing there to allow
    // A file takes the rights that concern files only.
    if (!S_ISDIR(info.st_mode))
        rights &= LANDLOCK_ACCESS_FS_READ_FILE | LANDLOCK_ACCESS_FS_WRITE_FILE | (1ULL << 14);
    landlock_path_beneath_attr rule{rights, fd.get()};
    return ::syscall(SYS_landlock_add_rule, ruleset, LANDLOCK_RULE_PATH_BENEATH, &rule, 0) == 0;
}

// Empty when the view is in force, else why not.
std::string restrictFiles(const Confinement& confinement) {
    const long abi = ::syscall(SYS_landlock_create_ruleset, nullptr, 0,
                               LANDLOCK_CREATE_RULESET_VERSION);
    if (abi < 1) return "no filesystem walls: the kernel offers no Landlock (" + why(errno) + ")";
    RulesetAttributes attributes;
    attributes.files = fileRights[std::min<long>(abi, std::size(fileRights)) - 1];
    std::size_t attributesSize = sizeof attributes.files;
    if (abi >= 4) {
        attributes.network = tcpBindAndConnect;
        attributesSize += sizeof attributes.network;
    }
    if (abi >= 6) {
        attributes.scoped = signalsAndAbstractSockets;
        attributesSize += sizeof attributes.scoped;
    }
    const Fd ruleset(int(::syscall(SYS_landlock_create_ruleset, &attributes, attributesSize, 0)));
    if (ruleset.get() < 0) return "no filesystem walls: " + why(errno);
    std::vector<std::string> readable = readableForDrawing();
    readable.insert(readable.end(), confinement.readableFolders.begin(),
                    confinement.readableFolders.end());
    for (const std::string& path : readable)
        if (!addRule(ruleset.get(), path, readRights)) return "no filesystem walls: " + why(errno);
    const std::uint64_t writeRights = attributes.files & ~LANDLOCK_ACCESS_FS_EXECUTE;
    for (const std::string& path : confinement.writableFolders)
        if (!addRule(ruleset.get(), path, writeRights)) return "no filesystem walls: " + why(errno);
    if (::syscall(SYS_landlock_restrict_self, ruleset.get(), 0) != 0)
        return "no filesystem walls: " + why(errno);
    return {};
}

// ---- the system call filter -----------------------------------------------------------------

// What reading a request, drawing and answering use, and harmless questions about the process
// itself. Names the system does not have are skipped.
constexpr const char* allowedCalls[] = {
    // Files already open and files opened for reading (see below).
    "read", "readv", "pread64", "preadv", "preadv2", "write", "writev", "close", "close_range",
    "lseek", "_llseek", "fstat", "fstat64", "stat", "stat64", "lstat", "lstat64", "newfstatat",
    "fstatat64", "statx", "fstatfs", "fstatfs64", "statfs", "statfs64", "access", "faccessat",
    "faccessat2", "readlink", "readlinkat", "getdents", "getdents64", "getcwd", "fadvise64",
    "fadvise64_64", "fcntl", "fcntl64", "dup", "dup2", "dup3", "pipe", "pipe2", "eventfd",
    "eventfd2", "poll", "ppoll", "select", "pselect6", "flock",
    // Memory.
    "mmap", "mmap2", "munmap", "mprotect", "mremap", "madvise", "brk", "mincore", "membarrier",
    // Threads of the drawing libraries, time, randomness.
    "futex", "futex_waitv", "set_robust_list", "get_robust_list", "rseq", "sched_yield",
    "sched_getaffinity", "sched_getparam", "sched_getscheduler", "getpriority", "clock_gettime",
    "clock_gettime64", "clock_getres", "clock_nanosleep", "nanosleep", "gettimeofday", "time",
    "getrandom", "getpid", "gettid", "getppid", "getuid", "geteuid", "getgid", "getegid",
    "getresuid", "getresgid", "getgroups", "uname", "sysinfo", "getrlimit", "ugetrlimit",
    "getrusage", "getitimer", "setitimer",
    // Signals to itself, and ending.
    "rt_sigaction", "rt_sigprocmask", "rt_sigreturn", "sigaltstack", "restart_syscall", "exit",
    "exit_group"};

// Creating, changing or removing files, allowed only where folders are writable.
constexpr const char* fileChanges[] = {"mkdir",  "mkdirat",  "unlink",    "unlinkat",
                                       "rename", "renameat", "renameat2", "ftruncate"};

// The leak checker's helper (see above).
constexpr const char* leakCheckerCalls[] = {"ptrace", "wait4", "waitid", "clone", "prctl"};

constexpr unsigned openForWriting[] = {O_WRONLY, O_RDWR, O_CREAT, O_TRUNC};

// Argument `index` equals `value`; or, masked, has the bits in `mask` set as in `value`.
scmp_arg_cmp equal(unsigned index, std::uint64_t value) {
    return {index, SCMP_CMP_EQ, value, 0};
}

scmp_arg_cmp masked(unsigned index, std::uint64_t mask, std::uint64_t value) {
    return {index, SCMP_CMP_MASKED_EQ, mask, value};
}

struct FilterDeleter {
    void operator()(void* filter) const { seccomp_release(filter); }
};

class Filter {
  public:
    Filter() : filter_(seccomp_init(SCMP_ACT_ERRNO(EPERM))) {}
    explicit operator bool() const { return filter_ != nullptr; }
    void* get() const { return filter_.get(); }

    template <typename... Conditions>
    void add(std::uint32_t action, const char* name, Conditions... conditions) {
        const int call = seccomp_syscall_resolve_name(name);
        // A rule that cannot be added leaves the call refused: the safe side.
        if (call != __NR_SCMP_ERROR)
            seccomp_rule_add(filter_.get(), action, call, sizeof...(conditions), conditions...);
    }

  private:
    std::unique_ptr<void, FilterDeleter> filter_;
};

// Opening for reading is allowed (the view above says where); opening for writing is refused
// as the file system refuses it, which the font library expects of a cache it may not update.
void addOpening(Filter& filter, bool writable) {
    const std::pair<const char*, unsigned> calls[] = {{"open", 1}, {"openat", 2}};
    for (const auto& [name, flags] : calls) {
        if (writable) {
            filter.add(SCMP_ACT_ALLOW, name);
            continue;
        }
        unsigned all = 0;
        for (const unsigned mode : openForWriting) {
            filter.add(SCMP_ACT_ERRNO(EACCES), name, masked(flags, mode, mode));
            all |= mode;
        }
        filter.add(SCMP_ACT_ALLOW, name, masked(flags, all, 0));
    }
    filter.add(SCMP_ACT_ERRNO(EACCES), "creat");
    // Its arguments lie in memory the filter cannot see; the C library falls back to openat.
    filter.add(SCMP_ACT_ERRNO(ENOSYS), "openat2");
}

std::string filterCalls(const Confinement& confinement) {
    Filter filter;
    if (!filter) return "no system call filter: it could not be built";
    seccomp_attr_set(filter.get(), SCMP_FLTATR_ACT_BADARCH, SCMP_ACT_KILL_PROCESS);
    seccomp_attr_set(filter.get(), SCMP_FLTATR_CTL_TSYNC, 1);
    for (const char* name : allowedCalls)
        filter.add(SCMP_ACT_ALLOW, name);
    const bool writable = !confinement.writableFolders.empty();
    addOpening(filter, writable);
    if (writable)
        for (const char* name : fileChanges)
            filter.add(SCMP_ACT_ALLOW, name);
    // Signals only to itself.
    const auto self = std::uint64_t(::getpid());
    for (const char* name : {"kill", "tgkill"})
        filter.add(SCMP_ACT_ALLOW, name, equal(0, self));
    // Threads, but no new processes. The newer call keeps its flags where the filter cannot
    // see them; the C library then uses the older one.
    if (leakChecker) {
        for (const char* name : leakCheckerCalls)
            filter.add(SCMP_ACT_ALLOW, name);
    } else {
        filter.add(SCMP_ACT_ALLOW, "clone", masked(0, CLONE_THREAD, CLONE_THREAD));
        filter.add(SCMP_ACT_ALLOW, "prctl", equal(0, PR_SET_NAME));
        filter.add(SCMP_ACT_ALLOW, "prctl", equal(0, PR_GET_NAME));
    }
    filter.add(SCMP_ACT_ERRNO(ENOSYS), "clone3");
    // Whether a stream is a terminal.
    filter.add(SCMP_ACT_ALLOW, "ioctl", equal(1, TCGETS));
    // Reading its own limits.
    filter.add(SCMP_ACT_ALLOW, "prlimit64", equal(2, 0));
    // The library's result names no reason when the kernel refuses; the kernel's is in errno.
    errno = 0;
    if (seccomp_load(filter.get()) != 0)
        return "no system call filter: the kernel takes none (" + why(errno) + ")";
    return {};
}

} // namespace

std::vector<std::string> confine(const Confinement& confinement) {
    std::vector<std::string> missing;
    // Without it neither of the others may be set by a process without privileges; with it,
    // nothing the process starts gains any.
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0)
        missing.push_back("new privileges not given up: " + why(errno));
    // The view first: the filter refuses the calls that set it up.
    for (std::string reason : {restrictFiles(confinement), filterCalls(confinement)})
        if (!reason.empty()) missing.push_back(std::move(reason));
    return missing;
}

} // namespace pikuta::metafile
