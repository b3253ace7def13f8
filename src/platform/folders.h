#pragma once
#include <QString>
#include <compare>
#include <cstdint>
#include <vector>

namespace platform {

// What identifies a folder, whichever path or link leads to it: the volume and the file's index
// there, 128 bits wide where the file system has such ids (ReFS). An index of 0 is unknown,
// which some network file systems give for every folder: such a folder is the same as no other.
struct FolderId {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    std::uint64_t index_high = 0;
    bool known() const { return index != 0 || index_high != 0; }
    auto operator<=>(const FolderId&) const = default;
};

// One reading of a folder: its identity and the names of its subfolders and files, hidden
// ones left out, in the system's order.
struct FolderEntries {
    struct Subfolder {
        QString name;
        bool linked = false; // reached through a symbolic link or junction
    };
    FolderId id;
    std::vector<Subfolder> folders;
    std::vector<QString> files;
};

// Reads `path` once; false when it cannot be opened or read.
bool read_folder(const QString& path, FolderEntries& out);

} // namespace platform
