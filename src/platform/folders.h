#pragma once
#include <QString>
#include <compare>
#include <cstdint>
#include <vector>

namespace platform {

// What identifies a folder, whichever path or link leads to it.
struct FolderId {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
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
