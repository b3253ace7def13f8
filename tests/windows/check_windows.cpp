// Checks the Windows services that call the system directly, and the metafile renderer with
// its child process, on a Windows system (Wine here). Run by check_windows.sh:
//   check_windows SAMPLES_FOLDER REFERENCES_FOLDER RENDERER
// where the references are the Linux renderings as PAM files. Prints one line per failed
// check and a measurement line per metafile sample; exits with the number of failures.
#include "child_process.h"
#include "metafile_format.h"
#include "platform/win/win32_core.h"
#include "platform/win/win32_handover.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <shlobj.h>
#include <string>
#include <tuple>
#include <vector>

namespace w = platform::win32;
using namespace pikuta::metafile;
using namespace std::chrono_literals;

namespace {

int checks = 0, failures = 0;

std::string narrow(std::wstring_view text) {
    std::string out;
    for (const wchar_t c : text)
        out += c < 128 ? char(c) : '?';
    return out;
}

std::string text(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

void expect(bool ok, const std::string& what) {
    ++checks;
    if (ok) return;
    ++failures;
    std::fprintf(stderr, "FAILED: %s\n", what.c_str());
}

// ---- windows -------------------------------------------------------------------------------

void pump() {
    MSG msg;
    for (int round = 0; round < 20; ++round) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
}

HWND make_window(const std::wstring& title, DWORD style = WS_OVERLAPPEDWINDOW, DWORD ex = 0) {
    static const ATOM window_class = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PikutaCheck";
        return RegisterClassW(&wc);
    }();
    HWND window = CreateWindowExW(ex, reinterpret_cast<LPCWSTR>(ULONG_PTR(window_class)),
                                  title.c_str(), style, 40, 40, 320, 200, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    expect(window != nullptr, "no window: " + std::to_string(GetLastError()));
    ShowWindow(window, SW_SHOWNORMAL);
    pump();
    return window;
}

void check_single_instance() {
    const std::wstring title = L"ﾋﾟｸﾀ PIKUTA";
    const HWND others[] = {make_window(title + L" 2"), make_window(title.substr(1)),
                           make_window(L"ﾋﾟｸﾀ pikuta")};
    expect(!w::find_window_titled(title), "a longer, shorter or other-case title counts");
    expect(w::find_window_titled(title + L" 2") == others[0], "the longer title is not found");
    const HWND target = make_window(title);
    for (const auto& [state, show] : {std::pair{"minimised", SW_MINIMIZE},
                                      {"maximised", SW_MAXIMIZE},
                                      {"behind", SW_SHOWNORMAL}}) {
        const std::string name = std::string("single instance, ") + state + ": ";
        ShowWindow(target, show);
        SetForegroundWindow(others[0]);
        pump();
        const HWND found = w::find_window_titled(title);
        expect(found == target, name + "the window is not found by its exact title");
        if (!found) continue;
        w::restore_and_activate(found);
        pump();
        expect(!IsIconic(target) && !IsZoomed(target) && IsWindowVisible(target),
               name + "not restored to its normal state");
        expect(GetForegroundWindow() == target, name + "not activated");
    }
    for (const HWND window : {others[0], others[1], others[2], target})
        DestroyWindow(window);
}

// What a window that takes handed paths received, by the order of arrival.
std::vector<std::wstring> g_handed;

LRESULT CALLBACK take_paths(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message != WM_COPYDATA) return DefWindowProcW(window, message, w, l);
    const auto path = w::received_path(*reinterpret_cast<const COPYDATASTRUCT*>(l));
    if (path) g_handed.push_back(*path);
    return path ? TRUE : FALSE;
}

void check_hand_over() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = take_paths;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PikutaHandOver";
    RegisterClassW(&wc);
    const std::wstring title = L"PIKUTA (*.BMP) (*.DIB) (*.JPG) (*.EMF)";
    const HWND target = CreateWindowExW(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 40,
                                        40, 320, 200, nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(target, SW_MINIMIZE);
    pump();
    // Sent as the program sends it: to the window found by its title. A path with characters
    // beyond any code page, an empty one, and data of another kind, which is not taken.
    const std::wstring paths[] = {L"C:\\写真\\桜 ☀.jpg", L""};
    for (const auto& path : paths)
        expect(w::send_path(w::find_window_titled(title), path), "a handed path was not taken");
    COPYDATASTRUCT other{1, 4, const_cast<char*>("text")};
    const LRESULT taken = SendMessageW(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&other));
    expect(!taken, "other data was taken for a path");
    expect(g_handed == std::vector<std::wstring>(std::begin(paths), std::end(paths)),
           "the paths received differ from those handed over");
    DestroyWindow(target);
    expect(!w::send_path(target, L"C:\\x.jpg"), "a path handed to no window counts as taken");
}

void check_frame() {
    const std::tuple<const char*, DWORD, DWORD> rows[] = {
        {"sizable", WS_OVERLAPPEDWINDOW, 0},
        {"fixed dialog", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME, 0},
        {"tool window", WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW}};
    for (const auto& [kind, style, ex] : rows) {
        const HWND window = make_window(L"frame", style, ex);
        RECT outer{}, client{};
        POINT origin{0, 0};
        GetWindowRect(window, &outer);
        GetClientRect(window, &client);
        ClientToScreen(window, &origin);
        const RECT actual{origin.x - outer.left, origin.y - outer.top,
                          outer.right - origin.x - client.right,
                          outer.bottom - origin.y - client.bottom};
        const RECT expected = w::frame_margins(style, ex, GetDpiForWindow(window));
        expect(text(actual) == text(expected), std::string("frame margins, ") + kind +
                                                   ": expected " + text(expected) + ", got " +
                                                   text(actual));
        DestroyWindow(window);
    }
}

// ---- drives and folders --------------------------------------------------------------------

void check_drives() {
    const auto drives = w::logical_drives();
    const auto has = [&](const wchar_t* d) {
        return std::find(drives.begin(), drives.end(), d) != drives.end();
    };
    expect(has(L"C:\\") && has(L"Z:\\"), "the drive list lacks C:\\ or Z:\\");
    expect(std::is_sorted(drives.begin(), drives.end()), "the drive list is not in order");
    for (const auto& d : drives)
        expect(d.size() == 3 && d[1] == L':' && d[2] == L'\\', "odd drive " + narrow(d));
    std::wstring absent = L"B:\\";
    while (has(absent.c_str()))
        ++absent[0];
    std::wstring why;
    expect(w::drive_ready(L"C:\\", &why), "C:\\ is not ready: " + narrow(why));
    expect(!w::drive_ready(absent, &why) && !why.empty(), "a missing drive is ready, or no why");
    const std::pair<std::wstring, std::wstring> rows[] = {{L"C:\\windows\\system32", L"C:\\"},
                                                          {L"c:\\windows", L"C:\\"},
                                                          {L"C:", L"C:\\"},
                                                          {L"Z:\\tmp", L"Z:\\"},
                                                          {absent + L"x", L""},
                                                          {L"\\\\server\\share", L""}};
    for (const auto& [path, drive] : rows)
        expect(w::drive_of(path, drives) == drive, "drive of " + narrow(path));
}

void check_windows_folder() {
    wchar_t root[MAX_PATH] = {};
    GetEnvironmentVariableW(L"SystemRoot", root, MAX_PATH);
    const std::wstring folder = w::windows_folder();
    expect(!folder.empty() &&
               CompareStringOrdinal(folder.c_str(), -1, root, -1, TRUE) == CSTR_EQUAL,
           "the Windows folder " + narrow(folder) + " is not " + narrow(root));
    expect(w::windows_folder(unsigned(folder.size())).empty(), "a folder too long is given");
    const std::pair<std::wstring, std::wstring> rows[] = {
        {folder, folder + L"\\"},
        {L"C:\\", L"C:\\"},
        {L"C:\\windows\\", L"C:\\windows\\"},
        {L"C:/data/pictures", L"C:\\data\\pictures\\"}};
    for (const auto& [given, expected] : rows)
        expect(w::with_separator(given) == expected, "separator for " + narrow(given));
}

// ---- wallpaper -----------------------------------------------------------------------------

const std::wstring wallpaper_name = L"pk_w_pap.bmp";

// A 2 x 2 bitmap in the file format the program writes (24 bits, rows from the bottom).
bool write_bitmap(const std::wstring& path) {
    const unsigned char pixels[2][8] = {{0, 0, 255, 0, 255, 0, 0, 0}, {255, 0, 0, 255, 255, 255}};
    BITMAPINFOHEADER info{sizeof info, 2, 2, 1, 24, BI_RGB, sizeof pixels, 2835, 2835, 0, 0};
    BITMAPFILEHEADER file{0x4D42, DWORD(sizeof(BITMAPFILEHEADER) + sizeof info + sizeof pixels), 0,
                          0, DWORD(sizeof(BITMAPFILEHEADER) + sizeof info)};
    const HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
    DWORD n = 0;
    bool ok = WriteFile(out, &file, sizeof file, &n, nullptr) &&
              WriteFile(out, &info, sizeof info, &n, nullptr) &&
              WriteFile(out, pixels, sizeof pixels, &n, nullptr);
    return CloseHandle(out) && ok;
}

// The program's order: the Windows folder first, the per-user folder when that refuses.
std::wstring store_wallpaper() {
    for (const auto& folder : {w::windows_folder(), w::user_wallpaper_folder()}) {
        SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
        const std::wstring path = w::with_separator(folder) + wallpaper_name;
        if (!folder.empty() && write_bitmap(path)) return path;
    }
    return {};
}

std::wstring registry_wallpaper() {
    wchar_t value[MAX_PATH] = {};
    DWORD bytes = sizeof value;
    RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"Wallpaper", RRF_RT_REG_SZ, nullptr,
                 value, &bytes);
    return value;
}

void check_wallpaper() {
    wchar_t local[MAX_PATH] = {};
    GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH);
    const std::wstring user_folder = w::user_wallpaper_folder();
    expect(user_folder == w::with_separator(local) + L"PIKUTA",
           "the per-user folder is " + narrow(user_folder));
    // A folder in the way of the file makes the Windows folder refuse it, as the access rules
    // of a real system do for an ordinary user (Wine runs as its owner).
    const std::wstring blocker = w::with_separator(w::windows_folder()) + wallpaper_name;
    for (const bool refused : {false, true}) {
        const std::string name = std::string("wallpaper, the Windows folder ") +
                                 (refused ? "refuses" : "takes") + " it: ";
        DeleteFileW(blocker.c_str());
        if (refused) CreateDirectoryW(blocker.c_str(), nullptr);
        const std::wstring path = store_wallpaper();
        expect(path ==
                   w::with_separator(refused ? user_folder : w::windows_folder()) + wallpaper_name,
               name + "stored in " + narrow(path));
        expect(w::set_wallpaper(path), name + "the setter failed");
        expect(w::current_wallpaper() == path,
               name + "the desktop shows " + narrow(w::current_wallpaper()));
        expect(registry_wallpaper() == path, name + "not kept for the next sign-in");
        RemoveDirectoryW(blocker.c_str());
    }
}

// ---- metafiles -----------------------------------------------------------------------------

std::vector<unsigned char> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct Picture4 {
    int width = 0, height = 0;
    std::vector<unsigned char> rgba; // straight, not premultiplied
};

// A PAM file as ImageMagick writes it from a PNG: RGB_ALPHA, 8 bits.
Picture4 read_pam(const std::string& path) {
    const auto data = read_file(path);
    const std::string text(data.begin(), data.end());
    const auto end = text.find("ENDHDR\n");
    Picture4 p;
    if (end == std::string::npos ||
        std::sscanf(text.c_str(), "P7 WIDTH %d HEIGHT %d DEPTH 4", &p.width, &p.height) != 2)
        return {};
    p.rgba.assign(data.begin() + std::ptrdiff_t(end + 7), data.end());
    if (p.rgba.size() != std::size_t(p.width) * p.height * 4) return {};
    return p;
}

// The renderer's reply: size, then premultiplied ARGB32 in memory order B, G, R, A.
Picture4 from_reply(const std::vector<unsigned char>& reply) {
    Picture4 p;
    if (reply.size() < 8) return p;
    std::uint32_t size[2];
    std::memcpy(size, reply.data(), sizeof size);
    p = {int(size[0]), int(size[1]), {}};
    for (std::size_t i = 8; i + 3 < reply.size(); i += 4) {
        const int a = reply[i + 3];
        const auto straight = [a](int c) { return a ? (c * 255 + a / 2) / a : 0; };
        p.rgba.insert(p.rgba.end(),
                      {(unsigned char)straight(reply[i + 2]), (unsigned char)straight(reply[i + 1]),
                       (unsigned char)straight(reply[i]), (unsigned char)a});
    }
    return p;
}

// The share of pixels where a channel differs by more than a quarter of its range.
double differing_share(const Picture4& a, const Picture4& b) {
    std::size_t differing = 0;
    for (std::size_t i = 0; i < a.rgba.size(); i += 4) {
        int most = 0;
        for (std::size_t c = 0; c < 4; ++c)
            most = std::max(most, std::abs(int(a.rgba[i + c]) - int(b.rgba[i + c])));
        differing += most > 64;
    }
    return double(differing) / double(a.rgba.size() / 4);
}

ChildResult render(const std::string& renderer, const std::vector<std::string>& arguments,
                   const std::vector<unsigned char>& data) {
    std::vector<std::string> argv{renderer};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    ChildLimits limits;
    limits.maxOutputBytes = 8 + std::size_t(maxPixels) * 4;
    return runChild(argv, data, limits);
}

void check_metafiles(const std::string& samples, const std::string& references,
                     const std::string& renderer) {
    // The share of pixels allowed to differ from the Linux rendering, a little above what was
    // measured, with what makes the difference. A picture drawn in the wrong place or size
    // differs in far more (moved by 4 pixels: 3 to 28 %; upside down: 34 to 55 %).
    const std::tuple<const char*, double, const char*> rows[] = {
        {"shapes.emf", 0.11, "another font; GDI paints no gradient or pattern as SVG does"},
        {"scaled.emf", 0.11, "as shapes.emf"},
        {"margins.emf", 0.02, "edges of the shape"},
        {"noframe.emf", 0.07, "the outline is one pixel wider in GDI"},
        {"features.emf", 0.16, "GDI plays the plain EMF records, the SVG their EMF+ twins"},
        {"shapes.wmf", 0.23, "the WMF library leaves the ellipse unfilled and blurs the pattern"},
        {"placeable.wmf", 0.22, "as shapes.wmf, in twips"},
        {"features.wmf", 0.18, "the WMF library leaves out the pie and the round corners"},
        {"plain.wmf", 0.04, "edges of the outline"},
    };
    for (const auto& [file, limit, why] : rows) {
        const std::string name = std::string("metafile ") + file + ": ";
        const ChildResult result =
            render(renderer, {"draw", "96", "0", "0"}, read_file(samples + "/" + file));
        expect(result.ok, name + "not drawn: " + result.error);
        const Picture4 drawn = from_reply(result.output);
        const Picture4 expected = read_pam(references + "/" + file + ".pam");
        expect(!expected.rgba.empty(), name + "no reference");
        const bool same_size = drawn.width == expected.width && drawn.height == expected.height &&
                               drawn.rgba.size() == expected.rgba.size();
        expect(same_size, name + std::to_string(drawn.width) + " x " +
                              std::to_string(drawn.height) + ", the reference is " +
                              std::to_string(expected.width) + " x " +
                              std::to_string(expected.height));
        if (!same_size || expected.rgba.empty()) continue;
        const double share = differing_share(drawn, expected);
        std::printf("%-14s %3d x %-3d  differs in %5.2f %% of pixels (allowed %2.0f %%: %s)\n",
                    file, drawn.width, drawn.height, share * 100, limit * 100, why);
        expect(share <= limit, name + "differs too much from the reference");
    }
    const auto plain = render(renderer, {"size", "96"}, read_file(samples + "/plain.wmf"));
    const Picture4 measured = from_reply(plain.output);
    expect(plain.ok && measured.width == 269 && measured.height == 202,
           "plain.wmf is not measured 269 x 202: " + plain.error);
    const auto large =
        render(renderer, {"draw", "96", "640", "480"}, read_file(samples + "/scaled.emf"));
    expect(large.ok && large.output.size() == 8 + 640 * 480 * 4, "scaled.emf not drawn larger");
    const auto junk = render(renderer, {"draw", "96", "0", "0"}, {'n', 'o', 'p', 'e'});
    expect(!junk.ok && junk.error.find("not an EMF") != std::string::npos,
           "junk is not refused clearly: " + junk.error);
}

// ---- the renderer's child process ----------------------------------------------------------

// What this program does when it plays a misbehaving renderer.
int misbehave(const std::string& how) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    const HANDLE in = GetStdHandle(STD_INPUT_HANDLE), out = GetStdHandle(STD_OUTPUT_HANDLE);
    static char buffer[1 << 16];
    DWORD n = 0;
    if (how == "echo")
        while (ReadFile(in, buffer, sizeof buffer, &n, nullptr) && n > 0)
            WriteFile(out, buffer, n, &n, nullptr);
    if (how == "fail") std::fputs("bad file\nmore\n", stderr);
    if (how == "crash") *static_cast<volatile int*>(nullptr) = 1;
    for (volatile bool busy = true; how == "spin" && busy;) {
    }
    if (how == "sleep") Sleep(INFINITE);
    while (how == "flood")
        WriteFile(out, buffer, sizeof buffer, &n, nullptr);
    return how == "echo" ? 0 : 1;
}

void check_child_process(const std::string& self) {
    // What the child does (empty: it is missing), bytes of input, success, and the output size
    // expected or a part of the error.
    const std::tuple<std::string, std::size_t, bool, std::string> rows[] = {
        {"echo", 3 << 20, true, "3145728"},          {"fail", 0, false, "bad file"},
        {"crash", 0, false, "exception 0xC0000005"}, {"spin", 0, false, "too long"},
        {"sleep", 8 << 20, false, "too long"},       {"flood", 0, false, "more data"},
        {"", 0, false, "could not be started"},
    };
    const ChildLimits limits{.cpuTime = 1s, .wallTime = 3s, .maxOutputBytes = 4 << 20};
    for (const auto& [how, input, ok, expected] : rows) {
        const std::string name = "child process, " + how + ": ";
        const std::vector<std::string> argv =
            how.empty() ? std::vector<std::string>{"C:\\nowhere\\pikuta-metafile.exe"}
                        : std::vector<std::string>{self, "--child", how};
        const auto start = std::chrono::steady_clock::now();
        const auto result = runChild(argv, std::vector<unsigned char>(input, 'x'), limits);
        const auto took = std::chrono::steady_clock::now() - start;
        expect(took < limits.wallTime + 2s, name + "not stopped in time");
        expect(result.ok == ok, name + (result.ok ? "succeeded" : "failed: " + result.error));
        expect(ok ? std::to_string(result.output.size()) == expected
                  : result.error.find(expected) != std::string::npos,
               name + "output " + std::to_string(result.output.size()) + ", error " + result.error);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--child") return misbehave(argv[2]);
    if (argc != 4) {
        std::fprintf(stderr, "usage: check_windows SAMPLES REFERENCES RENDERER\n");
        return 2;
    }
    check_single_instance();
    check_hand_over();
    check_frame();
    check_drives();
    check_windows_folder();
    check_wallpaper();
    check_metafiles(argv[1], argv[2], argv[3]);
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::puts("A child process crashes on purpose now; Wine tells so.");
    std::fflush(stdout);
    check_child_process(self);
    std::printf("%s: %d of %d checks failed\n", failures ? "FAILED" : "passed", failures, checks);
    return failures;
}
