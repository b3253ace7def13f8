#include "platform/win/win32_handover.h"

namespace platform::win32 {
namespace {
// Marks the data as a path from this program: WM_COPYDATA may come from anyone.
constexpr ULONG_PTR kPathTag = 0x504B5450; // "PKTP"
constexpr UINT kTimeoutMs = 5000;
} // namespace

bool send_path(HWND window, std::wstring_view path) {
    COPYDATASTRUCT data{};
    data.dwData = kPathTag;
    data.cbData = DWORD(path.size() * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(path.data());
    DWORD_PTR taken = FALSE;
    return SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                               SMTO_ABORTIFHUNG, kTimeoutMs, &taken) != 0 &&
           taken == TRUE;
}

std::optional<std::wstring> received_path(const COPYDATASTRUCT& data) {
    if (data.dwData != kPathTag || data.cbData % sizeof(wchar_t) != 0 ||
        (data.cbData != 0 && !data.lpData))
        return std::nullopt;
    const auto* text = static_cast<const wchar_t*>(data.lpData);
    return std::wstring(text, data.cbData / sizeof(wchar_t));
}

} // namespace platform::win32
