#include "platform/file_names.h"
#include "platform/folders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool read_folder(const QString& path, FolderEntries& out) {
    out = {};
    const int fd = ::open(name_to_bytes(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    DIR* dir = fstat(fd, &st) == 0 ? fdopendir(fd) : nullptr;
    if (!dir) {
        ::close(fd);
        return false;
    }
    out.id = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    while (const dirent* e = readdir(dir)) {
        if (e->d_name[0] == '.') continue; // hidden, and the folder itself and its parent
        bool is_dir = e->d_type == DT_DIR;
        bool is_file = e->d_type == DT_REG;
        const bool linked = e->d_type == DT_LNK;
        if (linked || e->d_type == DT_UNKNOWN) {
            // What a link leads to decides; a dangling link is nothing.
            struct stat target {};
            if (fstatat(fd, e->d_name, &target, 0) != 0) continue;
            is_dir = S_ISDIR(target.st_mode);
            is_file = S_ISREG(target.st_mode);
        }
        if (is_dir)
            out.folders.push_back({name_from_bytes(e->d_name), linked});
        else if (is_file)
            out.files.push_back(name_from_bytes(e->d_name));
    }
    closedir(dir);
    return true;
}

} // namespace platform
