#include "toolkit/folder_listing.h"

#include <QDir>
#include <algorithm>

namespace tk {

QString with_separator(const QString& folder) {
    const QChar sep = QDir::separator();
    return folder.endsWith(sep) ? folder : folder + sep;
}

QString join_path(const QString& folder, const QString& name) {
    return with_separator(folder) + name;
}

bool name_before(const QString& a, const QString& b) {
    const int c = QString::compare(a, b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

namespace {

// Whether the whole `name` matches the case-folded `pattern`; a "*" that
// swallowed too little is widened by one character at a time.
bool glob(const QString& pattern, const QString& name) {
    qsizetype p = 0, n = 0, star = -1, resume = 0;
    while (n < name.size()) {
        const QChar c = name[n].toCaseFolded();
        if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == c)) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            star = p++;
            resume = n;
        } else if (star >= 0) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

} // namespace

NamePattern::NamePattern(const QString& pattern) {
    for (const QString& p : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (const QString part = p.trimmed().toCaseFolded(); !part.isEmpty())
            parts_.push_back(part);
}

bool NamePattern::matches(const QString& name) const {
    for (const QString& p : parts_)
        if (glob(p, name)) return true;
    return false;
}

bool list_folder(const QString& path, const NamePattern& pattern, FolderListing& out) {
    platform::FolderEntries entries;
    const bool read = platform::read_folder(path, entries);
    out.id = entries.id;
    out.folders = std::move(entries.folders);
    out.files.clear();
    for (QString& name : entries.files)
        if (pattern.matches(name)) out.files.push_back(std::move(name));
    std::sort(out.folders.begin(), out.folders.end(),
              [](const auto& a, const auto& b) { return name_before(a.name, b.name); });
    std::sort(out.files.begin(), out.files.end(), name_before);
    return read;
}

} // namespace tk
