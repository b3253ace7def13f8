// Stands in for the program where the Windows check needs one, since the program itself needs
// Qt, which is not at hand for MinGW here. It carries the program's resources (icon, version,
// manifest), it is what the check's packages install, and it starts as the program does:
//   pikuta TITLE
// hands over to a running instance titled TITLE and exits with 3, or else shows its own window
// so titled a second after the start (a slow start) and exits with 0 when that is closed.
#include "platform/win/win32_core.h"
#include "platform/win/win32_instance.h"

#include <shellapi.h>
#include <string>

namespace w = platform::win32;
using namespace std::chrono_literals;

namespace {

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == w::activation_request()) {
        w::come_forward(window);
        return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, wparam, lparam);
}

} // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const std::wstring title = argc > 1 ? argv[1] : L"PIKUTA (*.BMP) (*.DIB) (*.JPG) (*.EMF)";
    LocalFree(argv);
    if (const HWND running = w::find_running_instance(title, 10s)) {
        w::restore_and_activate(running);
        return 3;
    }
    Sleep(1000);
    WNDCLASSW wc{};
    wc.lpfnWndProc = window_procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PikutaStandIn";
    RegisterClassW(&wc);
    const HWND window = CreateWindowExW(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 80,
                                        80, 320, 200, nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    SetForegroundWindow(window);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
