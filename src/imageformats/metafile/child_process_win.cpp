#include "child_process.h"

#include "renderer_protocol.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <windows.h>

// The child runs in a job: the job bounds its processor time and memory and takes it (and
// anything it starts) down when the viewer lets go. Pipes carry the bytes; one thread per pipe
// keeps a child that writes while it reads from blocking on a full pipe.
namespace pikuta::metafile {

namespace {

constexpr std::size_t maxErrorBytes = 4096;
constexpr DWORD firstException = 0xC0000000; // exit codes from here on are unhandled faults

class Handle {
  public:
    Handle() = default;
    explicit Handle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    Handle(Handle&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
    Handle& operator=(Handle&& other) noexcept {
        reset();
        h_ = std::exchange(other.h_, nullptr);
        return *this;
    }
    ~Handle() { reset(); }
    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    void reset() {
        if (h_) CloseHandle(h_);
        h_ = nullptr;
    }

  private:
    HANDLE h_ = nullptr;
};

struct Pipe {
    Handle parent;
    Handle child;
};

// The child's end is inheritable, the viewer's end is not.
bool openPipe(Pipe& pipe, bool childReads) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, 0)) return false;
    pipe = childReads ? Pipe{Handle(write), Handle(read)} : Pipe{Handle(read), Handle(write)};
    return SetHandleInformation(pipe.parent.get(), HANDLE_FLAG_INHERIT, 0) != FALSE;
}

std::wstring wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring text(std::size_t(std::max(n, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), text.data(), n);
    return text;
}

// Quoted so that the child's start-up code splits the line into the same arguments again.
std::wstring quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return argument;
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L'"';
}

std::wstring commandLine(const std::vector<std::string>& argv) {
    std::wstring line;
    for (const auto& a : argv)
        line += (line.empty() ? L"" : L" ") + quoted(wide(a));
    return line;
}

Handle makeJob(const ChildLimits& limits) {
    Handle job(CreateJobObjectW(nullptr, nullptr));
    if (!job) return job;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION info{};
    auto& basic = info.BasicLimitInformation;
    basic.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE |
                       JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION | JOB_OBJECT_LIMIT_PROCESS_TIME;
    basic.PerProcessUserTimeLimit.QuadPart =
        std::chrono::duration_cast<std::chrono::duration<LONGLONG, std::ratio<1, 10'000'000>>>(
            limits.cpuTime)
            .count();
    if (limits.memoryBytes != 0) {
        basic.LimitFlags |= JOB_OBJECT_LIMIT_PROCESS_MEMORY;
        info.ProcessMemoryLimit = SIZE_T(limits.memoryBytes);
    }
    if (!SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &info, sizeof info))
        job.reset();
    return job;
}

// ---- the walls --------------------------------------------------------------------------------
// The child runs with a restricted token at low integrity: none of the user's privileges or
// administrative rights, and no writing to anything of the user's (files, registry, other
// processes), which all stand at medium integrity. Its job lets it start no processes and keeps
// it off the desktop: other programs' windows, the clipboard, global atoms, system settings.
// What the system refuses is left out and named, for the viewer's log.

using Notes = std::vector<std::string>;

std::string lastError(const char* what) {
    return std::string(what) + " (error " + std::to_string(GetLastError()) + ")";
}

Handle restrictedToken(Notes& missing) {
    HANDLE own = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(),
                          TOKEN_DUPLICATE | TOKEN_QUERY | TOKEN_ASSIGN_PRIMARY |
                              TOKEN_ADJUST_DEFAULT,
                          &own)) {
        missing.push_back(lastError("no restricted token: the viewer's token cannot be read"));
        return {};
    }
    const Handle process(own);
    HANDLE restricted = nullptr;
    if (!CreateRestrictedToken(process.get(), DISABLE_MAX_PRIVILEGE | LUA_TOKEN, 0, nullptr, 0,
                               nullptr, 0, nullptr, &restricted)) {
        missing.push_back(lastError("no restricted token"));
        return {};
    }
    Handle token(restricted);
    SID_IDENTIFIER_AUTHORITY mandatory = SECURITY_MANDATORY_LABEL_AUTHORITY;
    PSID low = nullptr;
    if (!AllocateAndInitializeSid(&mandatory, 1, SECURITY_MANDATORY_LOW_RID, 0, 0, 0, 0, 0, 0, 0,
                                  &low)) {
        missing.push_back(lastError("no low integrity"));
        return token;
    }
    TOKEN_MANDATORY_LABEL label{{low, SE_GROUP_INTEGRITY}};
    if (!SetTokenInformation(token.get(), TokenIntegrityLevel, &label,
                             sizeof label + GetLengthSid(low)))
        missing.push_back(lastError("no low integrity"));
    FreeSid(low);
    return token;
}

void confineJob(HANDLE job, Notes& missing) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    auto& basic = limits.BasicLimitInformation;
    if (!QueryInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits,
                                   nullptr) ||
        ((basic.LimitFlags |= JOB_OBJECT_LIMIT_ACTIVE_PROCESS), (basic.ActiveProcessLimit = 1),
         !SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)))
        missing.push_back(lastError("processes may start others"));
    JOBOBJECT_BASIC_UI_RESTRICTIONS ui{
        JOB_OBJECT_UILIMIT_DESKTOP | JOB_OBJECT_UILIMIT_DISPLAYSETTINGS |
        JOB_OBJECT_UILIMIT_EXITWINDOWS | JOB_OBJECT_UILIMIT_GLOBALATOMS |
        JOB_OBJECT_UILIMIT_HANDLES | JOB_OBJECT_UILIMIT_READCLIPBOARD |
        JOB_OBJECT_UILIMIT_SYSTEMPARAMETERS | JOB_OBJECT_UILIMIT_WRITECLIPBOARD};
    if (!SetInformationJobObject(job, JobObjectBasicUIRestrictions, &ui, sizeof ui))
        missing.push_back(lastError("the desktop is not shut off"));
}

// The token to start the child with (none: the viewer's own), with the job confined; `missing`
// names what could not be shut off.
Handle confine(HANDLE job, Notes& missing) {
    const char* setting = std::getenv(protocol::sandboxVariable);
    if (setting && std::string(setting) == "off") {
        missing.push_back(std::string("no walls: ") + protocol::sandboxVariable + " is off");
        return {};
    }
    confineJob(job, missing);
    return restrictedToken(missing);
}

std::string joined(const Notes& notes) {
    std::string text;
    for (const std::string& note : notes)
        text += (text.empty() ? "" : "\n") + note;
    return text;
}

// Starts the child suspended, inside the job, with only its three pipe ends inherited (another
// thread starting a child at the same time must not hand it ours).
Handle startChild(std::wstring line, HANDLE job, HANDLE token, Pipe& in, Pipe& out, Pipe& err) {
    HANDLE inherited[] = {in.child.get(), out.child.get(), err.child.get()};
    SIZE_T bytes = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &bytes);
    const auto storage = std::make_unique<unsigned char[]>(bytes);
    auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage.get());
    if (!InitializeProcThreadAttributeList(attributes, 1, 0, &bytes)) return {};
    const bool listed = UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST,
                                                  inherited, sizeof inherited, nullptr, nullptr);
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = in.child.get();
    startup.StartupInfo.hStdOutput = out.child.get();
    startup.StartupInfo.hStdError = err.child.get();
    startup.lpAttributeList = listed ? attributes : nullptr;
    PROCESS_INFORMATION process{};
    // No console at all: a hidden one would be a second process in the job, which allows one.
    const DWORD flags = CREATE_SUSPENDED | DETACHED_PROCESS | CREATE_UNICODE_ENVIRONMENT |
                        (listed ? EXTENDED_STARTUPINFO_PRESENT : 0);
    const BOOL started =
        token ? CreateProcessAsUserW(token, nullptr, line.data(), nullptr, nullptr, TRUE, flags,
                                     nullptr, nullptr, &startup.StartupInfo, &process)
              : CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, flags, nullptr,
                               nullptr, &startup.StartupInfo, &process);
    DeleteProcThreadAttributeList(attributes);
    if (!started) return {};
    Handle child(process.hProcess);
    const Handle thread(process.hThread);
    if (!AssignProcessToJobObject(job, child.get())) {
        TerminateProcess(child.get(), 1);
        return {};
    }
    ResumeThread(thread.get());
    return child;
}

// Reads until the end of data, keeping at most `keep` bytes; signals `overflow` (when given)
// once more than that arrived.
void collect(HANDLE from, std::vector<unsigned char>& into, std::size_t keep, HANDLE overflow) {
    unsigned char buffer[1 << 16];
    DWORD n = 0;
    while (ReadFile(from, buffer, sizeof buffer, &n, nullptr) && n > 0) {
        const std::size_t room = keep - std::min(keep, into.size());
        into.insert(into.end(), buffer, buffer + std::min<std::size_t>(room, n));
        if (overflow && n > room) {
            SetEvent(overflow);
            return;
        }
    }
}

// Writes the input and closes the pipe, which the child reads as the end of the file.
void feed(Handle to, std::span<const unsigned char> input) {
    while (!input.empty()) {
        DWORD n = 0;
        const DWORD chunk = DWORD(std::min<std::size_t>(input.size(), 1 << 16));
        if (!WriteFile(to.get(), input.data(), chunk, &n, nullptr)) return; // it stopped reading
        input = input.subspan(n);
    }
}

// Processor time the child has had, in 100 ns units.
std::optional<std::uint64_t> processorTime(HANDLE child) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(child, &created, &exited, &kernel, &user)) return std::nullopt;
    return ((std::uint64_t(kernel.dwHighDateTime) << 32) | kernel.dwLowDateTime) +
           ((std::uint64_t(user.dwHighDateTime) << 32) | user.dwLowDateTime);
}

// Waits until the child exits, sends too much, or takes too long (WAIT_TIMEOUT).
DWORD waitForChild(HANDLE child, HANDLE overflow, const ChildLimits& limits) {
    ChildWatch watch(limits, [child] { return processorTime(child); });
    const HANDLE events[] = {child, overflow};
    for (;;) {
        const DWORD left = DWORD(watch.untilNextLook().count());
        if (left == 0) return WAIT_TIMEOUT;
        const DWORD woke = WaitForMultipleObjects(2, events, FALSE, left);
        if (woke != WAIT_TIMEOUT) return woke;
    }
}

bool usedAllProcessorTime(HANDLE child, const ChildLimits& limits) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(child, &created, &exited, &kernel, &user)) return false;
    const auto ticks = (std::uint64_t(user.dwHighDateTime) << 32) | user.dwLowDateTime;
    return std::chrono::microseconds(ticks / 10) >= limits.cpuTime;
}

std::string describeFailure(DWORD code, const std::vector<unsigned char>& errorText) {
    if (code >= firstException) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%08lX", static_cast<unsigned long>(code));
        return std::string("the drawing library failed (exception 0x") + hex + ")";
    }
    return rendererMessage(errorText);
}

ChildResult failure(std::string why) {
    return {false, std::move(why), {}, {}};
}

} // namespace

ChildResult runChild(const std::vector<std::string>& argv, std::span<const unsigned char> input,
                     const ChildLimits& limits) {
    Pipe in, out, err;
    if (argv.empty() || !openPipe(in, true) || !openPipe(out, false) || !openPipe(err, false))
        return failure("cannot start a process");
    const Handle job = makeJob(limits);
    const Handle overflow(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!job || !overflow) return failure("cannot start a process");
    Notes missing;
    const Handle token = confine(job.get(), missing);
    Handle child = startChild(commandLine(argv), job.get(), token.get(), in, out, err);
    if (!child && token && GetLastError() == ERROR_PRIVILEGE_NOT_HELD) {
        missing.push_back(lastError("no restricted token: the system starts no process with it"));
        child = startChild(commandLine(argv), job.get(), nullptr, in, out, err);
    }
    in.child.reset();
    out.child.reset();
    err.child.reset();
    if (!child) return failure("the metafile renderer could not be started");

    ChildResult result;
    std::vector<unsigned char> errorText;
    std::thread writer(feed, std::move(in.parent), input);
    std::thread reader(collect, out.parent.get(), std::ref(result.output), limits.maxOutputBytes,
                       overflow.get());
    std::thread errors(collect, err.parent.get(), std::ref(errorText), maxErrorBytes, nullptr);
    const bool exited = waitForChild(child.get(), overflow.get(), limits) == WAIT_OBJECT_0;
    // Ends whatever is left of the child and so closes every pipe end: the threads finish.
    TerminateJobObject(job.get(), 1);
    WaitForSingleObject(child.get(), INFINITE);
    writer.join();
    reader.join();
    errors.join();

    DWORD code = 1;
    GetExitCodeProcess(child.get(), &code);
    std::string why;
    if (WaitForSingleObject(overflow.get(), 0) == WAIT_OBJECT_0)
        why = "the renderer sent more data than asked";
    else if (!exited || (code != 0 && usedAllProcessorTime(child.get(), limits)))
        why = "the picture took too long to draw";
    else if (code != 0)
        why = describeFailure(code, errorText);
    ChildResult done = why.empty() ? std::move(result) : failure(why);
    done.ok = why.empty();
    done.notice = joined(missing);
    return done;
}

} // namespace pikuta::metafile
