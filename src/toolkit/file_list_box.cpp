#include "toolkit/file_list_box.h"

#include "platform/file_names.h"
#include "toolkit/error.h"

#include <QDir>
#include <QFileInfo>

namespace tk {

FileListBox::FileListBox(Container& parent, QString name) : Control(parent, std::move(name)) {
    path_ = QDir::toNativeSeparators(platform::current_folder());
}

QString FileListBox::list(int i) const {
    return (i >= 0 && i < listCount()) ? names_[i] : QString();
}

void FileListBox::setPath(const QString& path) {
    if (!platform::is_folder(path)) throw Error(Error::PathNotFound);
    path_ = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    refresh();
}

void FileListBox::setPattern(const QString& pattern) {
    pattern_ = pattern;
    matcher_ = NamePattern(pattern);
    refresh();
}

void FileListBox::refresh() {
    // A folder that vanishes or cannot be read lists nothing.
    FolderListing found;
    list_folder(path_, matcher_, found);
    names_ = std::move(found.files);
}

} // namespace tk
