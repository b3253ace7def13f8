#include "platform/win/win32_instance.h"

#include "platform/win/win32_core.h"

#include <string>

namespace platform::win32 {

HWND find_running_instance(std::wstring_view title, std::chrono::milliseconds patience) {
    if (const HWND window = find_window_titled(title)) return window;
    // Held until this process ends: the system lets go of it then, so that a start waiting
    // for a window that will not come takes over.
    static const HANDLE starting =
        CreateMutexW(nullptr, FALSE, (L"Local\\" + std::wstring(title)).c_str());
    if (!starting) return nullptr;
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        const DWORD got = WaitForSingleObject(starting, 0);
        if (got == WAIT_OBJECT_0 || got == WAIT_ABANDONED) return nullptr;
        if (const HWND window = find_window_titled(title)) return window;
        // The other start seems stuck: better a second window than none.
        if (std::chrono::steady_clock::now() >= deadline) return nullptr;
        Sleep(50);
    }
}

UINT activation_request() {
    static const UINT message = RegisterWindowMessageW(L"PIKUTA: come to the front");
    return message;
}

void come_forward(HWND window) {
    SetForegroundWindow(window);
}

} // namespace platform::win32
