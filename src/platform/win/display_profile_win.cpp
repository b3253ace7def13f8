#include "platform/display_profile.h"

#include <QFile>
#include <windows.h>

// The system's colour management names the profile of the main display's device context; the
// profile is a file in the system's colour folder.
namespace platform {

QByteArray display_colour_profile() {
    HDC dc = GetDC(nullptr);
    if (!dc) return {};
    wchar_t path[MAX_PATH];
    DWORD length = MAX_PATH;
    const BOOL named = GetICMProfileW(dc, &length, path);
    ReleaseDC(nullptr, dc);
    if (!named) return {};
    QFile file(QString::fromWCharArray(path));
    constexpr qint64 kMaxBytes = qint64(16) << 20;
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxBytes) return {};
    return file.readAll();
}

} // namespace platform
