#pragma once
#include "platform/folders.h"

#include <QString>
#include <vector>

namespace tk {

// Joins a folder and a name with exactly one separator.
QString join_path(const QString& folder, const QString& name);
// The folder with one trailing separator.
QString with_separator(const QString& folder);

// The order a person expects of file and folder names: by name, without regard to case.
bool name_before(const QString& a, const QString& b);

// A ";"-separated list of wildcard patterns ("*" any run of characters, "?" one character),
// each matched against a whole name without regard to case.
class NamePattern {
  public:
    explicit NamePattern(const QString& pattern = {});
    bool matches(const QString& name) const;

  private:
    std::vector<QString> parts_; // case-folded
};

// One folder read once: its identity, its subfolders and the names of its files that match
// `pattern`, each by name. False when the folder cannot be read.
struct FolderListing {
    platform::FolderId id;
    std::vector<platform::FolderEntries::Subfolder> folders;
    std::vector<QString> files;
};
bool list_folder(const QString& path, const NamePattern& pattern, FolderListing& out);

} // namespace tk
