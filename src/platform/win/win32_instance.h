#pragma once

// One running instance per sign-in session, on plain Win32 (see win32_core.h for why).

#include <chrono>
#include <string_view>
#include <windows.h>

namespace platform::win32 {

// The running instance's window, the top-level window titled exactly `title`; nullptr when
// this process is to be the running instance. Two starts a moment apart (two quick
// double-clicks during a slow start) must not both run: the first to start holds a mutex of
// the session, named after the title, until it ends, and a start that finds it held but no
// window yet waits up to `patience` for that window.
HWND find_running_instance(std::wstring_view title, std::chrono::milliseconds patience);

// The message a later start posts to the running instance's window when the system did not
// let it bring that window to the front; the running instance answers with come_forward.
UINT activation_request();

// Brings the process's own `window` to the front (a later start allowed it to).
void come_forward(HWND window);

} // namespace platform::win32
