#pragma once

// Reading folders on plain Win32 and standard types, so that it builds and is checked without
// the GUI toolkit; folders_win.cpp turns it into the toolkit-typed interface.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::win32 {

// `path` made absolute, in the form that reaches past the classic limit of 260 characters:
// "\\?\C:\..." for a drive, "\\?\UNC\server\share\..." for a network share. A path already in
// that form stays as it is.
std::wstring long_path(std::wstring_view path);

struct FolderReading {
    // What identifies the folder: the volume and the file system's 128-bit file id, which
    // is unique on ReFS too. An id of 0 is unknown (some network file systems give none).
    std::uint64_t volume = 0;
    std::array<std::uint64_t, 2> id{};
    struct Subfolder {
        std::wstring name;
        bool linked = false; // a junction or symbolic link
    };
    std::vector<Subfolder> folders;
    std::vector<std::wstring> files;
};

// Reads the folder at `path` (any length), hidden entries left out, in the system's order;
// false when it cannot be opened or read.
bool read_folder(std::wstring_view path, FolderReading& out);

} // namespace platform::win32
