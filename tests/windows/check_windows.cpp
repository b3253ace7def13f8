// Checks the Windows services that call the system directly, the metafile renderer with its
// child process, and the program's resources, on a Windows system (Wine here). Run by
// check_windows.sh:
//   check_windows SAMPLES_FOLDER REFERENCES_FOLDER RENDERER PROGRAM
// where the references are the Linux renderings as PAM files and PROGRAM is the stand-in for
// the program (stand_in.cpp). Prints one line per failed check and a measurement line per
// metafile sample; exits with the number of failures.
#include "../imageformats/metafile_builders.h"
#include "child_process.h"
#include "metafile_format.h"
#include "platform/win/win32_core.h"
#include "platform/win/win32_folders.h"
#include "platform/win/win32_handover.h"
#include "platform/win/win32_instance.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <psapi.h>
#include <set>
#include <shlobj.h>
#include <string>
#include <tuple>
#include <vector>

namespace w = platform::win32;
namespace mf = metafile_test;
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

// What the program hands the child process: its path as UTF-8.
std::string utf8(std::wstring_view text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(std::size_t(std::max(n, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring wide(std::string_view text) {
    return std::wstring(text.begin(), text.end()); // ASCII paths from the command line
}

std::wstring temp_folder() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return w::with_separator(temp);
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

int windows_titled(const std::wstring& title) {
    struct Count {
        const std::wstring& title;
        int found = 0;
    } count{title};
    EnumWindows(
        [](HWND window, LPARAM context) {
            auto* c = reinterpret_cast<Count*>(context);
            wchar_t text[256] = {};
            GetWindowTextW(window, text, 256);
            c->found += c->title == text;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count.found;
}

bool comes_to_front(HWND window) {
    for (int round = 0; round < 100 && GetForegroundWindow() != window; ++round)
        pump();
    return GetForegroundWindow() == window;
}

// Two starts of the program a moment apart while it starts slowly (its window comes a second
// late): one runs, the other hands over to it and ends.
void check_two_starts(const std::wstring& program) {
    const std::wstring title = L"ﾋﾟｸﾀ two starts";
    PROCESS_INFORMATION started[2]{};
    for (auto& process : started) {
        std::wstring line = L"\"" + program + L"\" \"" + title + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        expect(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &process),
               "two starts: the program does not start");
    }
    const HANDLE processes[] = {started[0].hProcess, started[1].hProcess};
    const DWORD ended = WaitForMultipleObjects(2, processes, FALSE, 15000) - WAIT_OBJECT_0;
    DWORD code = 0;
    expect(ended < 2 && GetExitCodeProcess(processes[ended], &code) && code == 3,
           "two starts: neither handed over to the other");
    const HWND window = w::find_window_titled(title);
    expect(window && windows_titled(title) == 1,
           "two starts: " + std::to_string(windows_titled(title)) + " windows");
    expect(comes_to_front(window), "two starts: the running window is not in front");
    // A start that the system did not let bring the window to the front asks it to come itself.
    const HWND other = make_window(L"in front");
    SetForegroundWindow(other);
    pump();
    PostMessageW(window, w::activation_request(), 0, 0);
    expect(comes_to_front(window), "two starts: the running window does not come when asked");
    PostMessageW(window, WM_CLOSE, 0, 0);
    expect(WaitForMultipleObjects(2, processes, TRUE, 5000) < WAIT_OBJECT_0 + 2,
           "two starts: the program does not end");
    DestroyWindow(other);
    for (const auto& process : started) {
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
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

void check_long_paths() {
    const std::pair<std::wstring, std::wstring> forms[] = {
        {L"C:\\data\\pictures", L"\\\\?\\C:\\data\\pictures"},
        {L"C:/data/./old/../pictures/", L"\\\\?\\C:\\data\\pictures\\"},
        {L"\\\\server\\share\\pictures", L"\\\\?\\UNC\\server\\share\\pictures"},
        {L"\\\\?\\C:\\data", L"\\\\?\\C:\\data"}};
    for (const auto& [path, expected] : forms)
        expect(w::long_path(path) == expected,
               "long form of " + narrow(path) + ": " + narrow(w::long_path(path)));

    // A tree deeper than 300 characters, with a picture at the bottom and one at the top.
    const std::wstring top = temp_folder() + L"長いパス";
    std::wstring deep = top;
    CreateDirectoryW(w::long_path(top).c_str(), nullptr);
    while (deep.size() < 300) {
        deep += L"\\写真のフォルダ" + std::wstring(30, L'x');
        CreateDirectoryW(w::long_path(deep).c_str(), nullptr);
    }
    const std::vector<std::wstring> pictures{deep + L"\\a.bmp", top + L"\\b.emf"};
    for (const auto& file : pictures)
        CloseHandle(CreateFileW(w::long_path(file).c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    w::FolderReading bottom;
    expect(w::read_folder(deep, bottom) && bottom.files == std::vector<std::wstring>{L"a.bmp"},
           "long paths: the folder of " + std::to_string(deep.size()) + " characters lists " +
               std::to_string(bottom.files.size()) + " files");
    // Searched as the program searches: every folder below the top read once.
    std::vector<std::wstring> found, left{top};
    while (!left.empty()) {
        const std::wstring folder = left.back();
        left.pop_back();
        w::FolderReading reading;
        expect(w::read_folder(folder, reading), "long paths: not read: " + narrow(folder));
        for (const auto& file : reading.files)
            found.push_back(folder + L"\\" + file);
        for (const auto& sub : reading.folders)
            left.push_back(folder + L"\\" + sub.name);
    }
    std::sort(found.begin(), found.end());
    expect(found == std::vector<std::wstring>{pictures[1], pictures[0]},
           "long paths: the search finds " + std::to_string(found.size()) + " of the 2 pictures");

    // The folder's identity: known, the same by another spelling, another for another folder.
    w::FolderReading spelt, parent;
    std::wstring slashes = deep;
    std::replace(slashes.begin(), slashes.end(), L'\\', L'/');
    w::read_folder(slashes, spelt);
    w::read_folder(deep.substr(0, deep.rfind(L'\\')), parent);
    const auto known = [](const w::FolderReading& r) { return r.id[0] != 0 || r.id[1] != 0; };
    expect(known(bottom) && known(parent), "folder identity: unknown");
    expect(spelt.volume == bottom.volume && spelt.id == bottom.id,
           "folder identity: another for the same folder");
    expect(parent.id != bottom.id, "folder identity: the same for two folders");
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

// Pixel (x, y) of a renderer's reply as B, G, R, A.
std::array<int, 4> pixel_at(const ChildResult& reply, int x, int y) {
    std::array<int, 4> bgra{};
    std::uint32_t width = 0;
    if (reply.output.size() >= 8) std::memcpy(&width, reply.output.data(), 4);
    const std::size_t at = 8 + (std::size_t(y) * width + std::size_t(x)) * 4;
    for (std::size_t c = 0; at + 3 < reply.output.size() && c < 4; ++c)
        bgra[c] = reply.output[at + c];
    return bgra;
}

std::uint32_t bits(float value) {
    std::uint32_t out;
    std::memcpy(&out, &value, sizeof out);
    return out;
}

// Metafiles that GDI alone does not draw: a red square in the middle of 100 x 100 pixels.
void check_metafile_faults(const std::string& renderer) {
    const mf::Bytes frame = mf::emf({0, 0, 99, 99}, {0, 0, 2645, 2645}); // 100 device pixels
    const mf::Bytes brush = mf::emfRecord(39, {1, 0, 0x0000FF, 0});      // solid red
    const mf::Bytes square = mf::emfRecord(43, {20, 20, 80, 80});
    const auto data = [](std::vector<std::uint32_t> fields) {
        mf::Bytes b(4 * fields.size());
        for (std::size_t i = 0; i < fields.size(); ++i)
            mf::put32(b, 4 * i, fields[i]);
        return b;
    };
    const std::pair<const char*, mf::Bytes> rows[] = {
        // Windows refuses to select an object that was never made, and PlayEnhMetaFile gave up
        // the whole picture for it.
        {"one record refused",
         mf::withRecords(frame, {mf::emfRecord(37, {2}), brush, mf::emfRecord(37, {1}), square},
                         3)},
        // GDI passes EMF+ records over, and drew nothing at all.
        {"EMF+ records only",
         mf::withRecords(
             frame,
             {mf::emfPlusComment(0x4001, 0, data({0xDBC01002, 1, 96, 96})),
              mf::emfPlusComment(0x400A, 0x8000, // a solid colour, not a brush object
                                 data({0xFFFF0000, 1, bits(20), bits(20), bits(60), bits(60)})),
              mf::emfPlusComment(0x4002, 0, {})},
             1)},
    };
    for (const auto& [what, file] : rows) {
        const ChildResult result = render(renderer, {"draw", "96", "0", "0"}, file);
        const auto middle = pixel_at(result, 50, 50), corner = pixel_at(result, 5, 5);
        expect(result.ok && middle == std::array{0, 0, 255, 255} && corner[3] == 0,
               std::string("metafile, ") + what + ": not drawn: " + result.error + " (" +
                   std::to_string(middle[2]) + "," + std::to_string(middle[1]) + "," +
                   std::to_string(middle[0]) + "," + std::to_string(middle[3]) + ")");
    }
}

// The renderer unpacked under a user's folder named in Japanese, started as the program starts
// it: by its path as UTF-8.
void check_renderer_folder(const std::string& renderer, const std::string& samples) {
    const std::wstring folder = temp_folder() + L"山田\\ピクタ ﾋﾟｸﾀ";
    SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    const std::wstring copy = folder + L"\\pikuta-metafile.exe";
    expect(CopyFileW(wide(renderer).c_str(), copy.c_str(), FALSE), "renderer not copied");
    const auto result = render(utf8(copy), {"size", "96"}, read_file(samples + "/plain.wmf"));
    const Picture4 measured = from_reply(result.output);
    expect(result.ok && measured.width == 269,
           "the renderer in a folder named in Japanese: " + result.error);
}

// The largest picture allowed fits the renderer's memory limit (1 GiB). Wine does not hold a
// job to its memory limit, so the renderer's peak is measured instead.
void check_near_limit(const std::string& renderer, const std::string& samples) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE in = CreateFileW(wide(samples + "\\scaled.emf").c_str(), GENERIC_READ,
                                  FILE_SHARE_READ, &inherit, OPEN_EXISTING, 0, nullptr);
    const HANDLE out =
        CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = startup.hStdError = out;
    const int side = 10000; // 100 million pixels, the most allowed
    std::wstring line = L"\"" + wide(renderer) + L"\" draw 96 " + std::to_wstring(side) + L" " +
                        std::to_wstring(side);
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
    CloseHandle(in);
    CloseHandle(out);
    expect(started, "near the limit: the renderer does not start");
    if (!started) return;
    SIZE_T peak = 0;
    while (WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT) {
        PROCESS_MEMORY_COUNTERS counters{};
        if (GetProcessMemoryInfo(process.hProcess, &counters, sizeof counters))
            peak = std::max(peak, counters.PeakWorkingSetSize);
    }
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    const std::uint64_t limit = ChildLimits{}.memoryBytes;
    std::printf("%d x %d pixels drawn with at most %llu MB (the limit is %llu MB)\n", side, side,
                static_cast<unsigned long long>(peak >> 20),
                static_cast<unsigned long long>(limit >> 20));
    expect(code == 0, "near the limit: not drawn");
    expect(peak > 0 && peak < limit, "near the limit: beyond the memory limit");
}

// ---- resources -----------------------------------------------------------------------------

// What Explorer, the Start menu and the taskbar read from a program file.
void check_resources(const std::wstring& file, bool utf8_code_page) {
    const std::string name = narrow(file.substr(file.rfind(L'\\') + 1)) + ": ";
    const HMODULE module = LoadLibraryExW(
        file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    expect(module != nullptr, name + "its resources cannot be read");
    if (!module) return;
    const auto resource = [module](const wchar_t* id, const wchar_t* type) {
        const HRSRC found = FindResourceW(module, id, type);
        const auto* data =
            found ? static_cast<const char*>(LockResource(LoadResource(module, found))) : nullptr;
        return data ? std::string(data, SizeofResource(module, found)) : std::string();
    };
    std::set<int> sides; // from the icon's group: 0 stands for 256
    const std::string group = resource(L"IDI_ICON1", MAKEINTRESOURCEW(14)); // RT_GROUP_ICON
    for (std::size_t at = 6; group.size() >= 6 && at + 14 <= group.size(); at += 14)
        sides.insert(group[at] ? (unsigned char)group[at] : 256);
    for (const int side : {16, 32, 48, 256}) {
        const auto icon = static_cast<HICON>(
            LoadImageW(module, L"IDI_ICON1", IMAGE_ICON, side, side, LR_DEFAULTCOLOR));
        ICONINFO info{};
        BITMAP bitmap{};
        const bool loaded = icon && GetIconInfo(icon, &info) &&
                            GetObjectW(info.hbmColor, sizeof bitmap, &bitmap) &&
                            bitmap.bmWidth == side;
        expect(sides.count(side) && loaded, name + "no icon of " + std::to_string(side) + " px");
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        if (icon) DestroyIcon(icon);
    }
    const std::string manifest = resource(MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)); // RT_MANIFEST
    for (const char* setting : {"longPathAware", "PerMonitorV2", "supportedOS"})
        expect(manifest.find(setting) != std::string::npos, name + "no " + setting);
    expect((manifest.find("activeCodePage") != std::string::npos) == utf8_code_page,
           name + (utf8_code_page ? "the code page is not UTF-8"
                                  : "the code page is UTF-8 (old metafiles' ANSI text)"));
    FreeLibrary(module);
    DWORD ignored = 0;
    std::vector<unsigned char> info(GetFileVersionInfoSizeW(file.c_str(), &ignored));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    const bool read = !info.empty() &&
                      GetFileVersionInfoW(file.c_str(), 0, DWORD(info.size()), info.data()) &&
                      VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length);
    const std::string version = read && fixed
                                    ? std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                                          std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                                          std::to_string(HIWORD(fixed->dwFileVersionLS))
                                    : "none";
    expect(version == PIKUTA_VERSION, name + "version " + version + ", not " PIKUTA_VERSION);
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

// What a renderer taken over by a crafted metafile would try; 0 when it got through.
int escape(const std::string& how, const std::wstring& folder) {
    if (how == "start a program") {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring line = L"\"" + std::wstring(self) + L"\" --child fail";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                            nullptr, nullptr, &startup, &process))
            return 1;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return 0;
    }
    if (how == "write a file") {
        const HANDLE file = CreateFileW((folder + L"\\escaped").c_str(), GENERIC_WRITE, 0,
                                        nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 1;
        CloseHandle(file);
        return 0;
    }
    if (how == "use the clipboard") return OpenClipboard(nullptr) && EmptyClipboard() ? 0 : 1;
    if (how == "find other windows") return FindWindowW(L"Shell_TrayWnd", nullptr) ? 0 : 1;
    if (how == "keep its integrity") {
        HANDLE token = nullptr;
        char label[64] = {};
        DWORD bytes = 0;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return 1;
        const bool read =
            GetTokenInformation(token, TokenIntegrityLevel, label, sizeof label, &bytes);
        CloseHandle(token);
        const PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(label)->Label.Sid;
        return read && *GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1) <
                           SECURITY_MANDATORY_MEDIUM_RID
                   ? 1
                   : 0;
    }
    return 1;
}

// The renderer's walls, tried from inside by this program as its child. Wine implements some of
// them only: those it lets through are named, not counted as failures there.
void check_walls(const std::string& self) {
    const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
    char temporary[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temporary);
    const std::string folder = std::string(temporary) + "pikuta-walls";
    CreateDirectoryA(folder.c_str(), nullptr);
    const ChildLimits limits{.cpuTime = 5s, .maxOutputBytes = 64};
    const char* attempts[] = {"start a program", "write a file", "use the clipboard",
                              "find other windows", "keep its integrity"};
    for (const char* attempt : attempts) {
        const auto result = runChild({self, "--escape", attempt, folder}, {}, limits);
        if (!result.notice.empty())
            std::printf("walls: the system refused: %s\n", result.notice.c_str());
        if (result.ok && wine) {
            std::printf("walls: Wine lets the renderer %s\n", attempt);
            continue;
        }
        expect(!result.ok, std::string("walls: the renderer may ") + attempt);
    }
    DeleteFileA((folder + "\\escaped").c_str());
    RemoveDirectoryA(folder.c_str());
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
    if (argc == 4 && std::string(argv[1]) == "--escape") {
        const std::string folder = argv[3];
        return escape(argv[2], std::wstring(folder.begin(), folder.end()));
    }
    if (argc != 5) {
        std::fprintf(stderr, "usage: check_windows SAMPLES REFERENCES RENDERER PROGRAM\n");
        return 2;
    }
    check_single_instance();
    check_two_starts(wide(argv[4]));
    check_hand_over();
    check_frame();
    check_drives();
    check_windows_folder();
    check_long_paths();
    check_wallpaper();
    check_resources(wide(argv[4]), true);
    check_resources(wide(argv[3]), false);
    check_metafiles(argv[1], argv[2], argv[3]);
    check_metafile_faults(argv[3]);
    check_renderer_folder(argv[3], argv[1]);
    check_near_limit(argv[3], argv[1]);
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::puts("A child process crashes on purpose now; Wine tells so.");
    std::fflush(stdout);
    check_child_process(self);
    check_walls(self);
    std::printf("%s: %d of %d checks failed\n", failures ? "FAILED" : "passed", failures, checks);
    return failures;
}
