#pragma once
#include <QString>

namespace platform {

// Asks the system for the folder that takes the wallpaper file (the Windows folder), the way
// the system call answers: the folder is written into `buffer`, possibly followed by a NUL and
// padding, and its length is returned; 0 when the system does not tell.
int windows_directory(QString& buffer);

// A per-user folder for the wallpaper file when the first one refuses it (a Windows folder
// that only administrators may write); empty where the first folder already is per-user.
QString user_wallpaper_folder();

// Makes the bitmap file `file` the desktop background. A system without a desktop that takes
// it leaves everything as it was and returns false, quietly.
bool set_wallpaper(const QString& file);

} // namespace platform
