#pragma once
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
