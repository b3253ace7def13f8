#pragma once
#include "toolkit/control.h"

#include <QString>
#include <QStringList>
#include <functional>

class QListWidget;

namespace tk {

// Folder choice: shows the open folder with its ancestors and subfolders. list(i) for
// i = 0..listCount()-1 are the full paths of the subfolders, by name.
class DirListBox : public Control {
  public:
    DirListBox(Container& parent, QString name, bool with_view = true);
    const QString& path() const { return path_; }
    // A folder that cannot be opened fails (PathNotFound, or DeviceUnavailable for an
    // unreadable drive, with the system's description); a change raises onChange.
    void setPath(const QString& path);
    int listCount() const { return static_cast<int>(subfolders_.size()); }
    QString list(int i) const;
    void refresh();
    std::function<void()> onChange;

  private:
    QListWidget* view() const;
    void read_folder();
    void show_folder();
    QString path_;
    QStringList subfolders_;
    int pushing_ = 0;
};

} // namespace tk
