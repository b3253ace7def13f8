#pragma once
#include "toolkit/control.h"
#include "toolkit/folder_listing.h"

#include <QString>
#include <vector>

namespace tk {

// The names of one folder's files that match a ";"-separated list of wildcard patterns,
// without regard to case, in case-insensitive name order. Never visible.
class FileListBox : public Control {
  public:
    FileListBox(Container& parent, QString name);
    const QString& path() const { return path_; }
    void setPath(const QString& path);
    const QString& pattern() const { return pattern_; }
    void setPattern(const QString& pattern);
    const NamePattern& matcher() const { return matcher_; }
    int listCount() const { return static_cast<int>(names_.size()); }
    QString list(int i) const;
    void refresh();

  private:
    QString path_;
    QString pattern_;
    NamePattern matcher_;
    std::vector<QString> names_;
};

} // namespace tk
