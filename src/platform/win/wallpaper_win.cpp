#include "platform/wallpaper.h"
#include "platform/win/win32_core.h"

#include <QDir>

namespace platform {

int windows_directory(QString& buffer) {
    // The classic call's buffer held 255 characters; what the system writes ends in a NUL.
    const std::wstring folder = win32::windows_folder(255);
    if (folder.empty()) return 0;
    buffer = QString::fromStdWString(folder) + QChar(0);
    return static_cast<int>(folder.size());
}

QString user_wallpaper_folder() {
    return QString::fromStdWString(win32::user_wallpaper_folder());
}

bool set_wallpaper(const QString& file) {
    return win32::set_wallpaper(QDir::toNativeSeparators(file).toStdWString());
}

} // namespace platform
