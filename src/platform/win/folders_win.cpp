#include "platform/folders.h"
#include "platform/win/win32_folders.h"

#include <QDir>

namespace platform {

bool read_folder(const QString& path, FolderEntries& out) {
    out = {};
    win32::FolderReading reading;
    if (!win32::read_folder(QDir::toNativeSeparators(path).toStdWString(), reading)) return false;
    out.id = {reading.volume, reading.id[0], reading.id[1]};
    for (const auto& folder : reading.folders)
        out.folders.push_back({QString::fromStdWString(folder.name), folder.linked});
    for (const auto& file : reading.files)
        out.files.push_back(QString::fromStdWString(file));
    return true;
}

} // namespace platform
