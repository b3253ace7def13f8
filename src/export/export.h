#pragma once
// Export: what the folder offers. Its handlers are members of the windows: COPY and WALLPAPER
// (MainForm::Command8_Click, Command9_Click) and the popup menu's crip and kabegami (export.cpp).
#include <QImage>
#include <QString>
#include <QStringList>

// The wallpaper file's name; the same file is written anew on each use.
inline const QString kWallpaperFile = QStringLiteral("pk_w_pap.bmp");

// The wallpaper folder from the system's answer to the Windows-folder question: the folder
// cut at its first NUL and ending in one separator, or `app_path` when the answer is 0 or less.
QString windows_dir_from(int answer, const QString& buffer);

// Writes `image` as the wallpaper bitmap into the first of `folders` that takes it (made when
// missing) and returns the file's path; empty when none does. A failed write leaves the file
// that was there before as it was.
QString write_wallpaper_file(const QImage& image, const QStringList& folders);

namespace Module2 {

// The folder of the wallpaper file, ending in one separator (app_path when the system does
// not tell it).
QString get_windows_dir();
// The text before its first NUL character; the whole text when it has none.
QString cut_at_null(const QString& text);

} // namespace Module2
