#include "platform/wallpaper.h"

#include <QDir>
#include <QStandardPaths>
#include <windows.h>

namespace platform {

int windows_directory(QString& buffer) {
    wchar_t folder[255] = {};
    const UINT length = GetWindowsDirectoryW(folder, 255);
    // A longer answer is the size the buffer would need: the folder did not fit.
    if (length == 0 || length >= 255) return 0;
    buffer = QString::fromWCharArray(folder, static_cast<int>(length) + 1);
    return static_cast<int>(length);
}

QString user_wallpaper_folder() {
    // The local application data folder: the Windows folder is closed to ordinary users.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return data.isEmpty() ? QString() : QDir::toNativeSeparators(data + QStringLiteral("/PIKUTA"));
}

bool set_wallpaper(const QString& file) {
    std::wstring path = file.toStdWString();
    return SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, path.data(),
                                 SPIF_UPDATEINIFILE | SPIF_SENDCHANGE) != FALSE;
}

} // namespace platform
