#pragma once
#include "platform/folders.h"
#include "toolkit/control.h"

#include <QElapsedTimer>
#include <QStringList>
#include <functional>
#include <vector>

class QListWidget;
class QComboBox;

namespace tk {

// A multi-selection list of texts with 16-bit indexes: it holds at most 32,767 entries and
// refuses the next one with Error::OutOfMemory. Like the folder list, it shows whole rows only.
class ListBox : public Control {
  public:
    static constexpr int kMaxEntries = 32767;

    ListBox(Container& parent, QString name, bool extended_selection = true);
    int listCount() const { return static_cast<int>(entries_.size()); }
    // The text at `i`; empty text for an index outside the list.
    QString list(int i) const;
    bool selected(int i) const;
    void setSelected(int i, bool on);
    int listIndex() const { return list_index_; }
    void setListIndex(int i);
    void addItem(const QString& text);
    void clear();
    // The rows stay clear of this much of the list's right side (frame included), where
    // another control sits over the list.
    void setRightMargin(double twips);

    std::function<void()> onClick;
    std::function<void()> onDblClick;
    // A key typed while the list has the focus, before the list acts on it; setting the
    // code to 0 keeps the list from seeing the key.
    std::function<void(int& key_ascii)> onKeyPress;

  private:
    QListWidget* view() const;
    void pull_selection();
    std::vector<QString> entries_;
    std::vector<char> selected_;
    int list_index_ = -1;
    int pushing_ = 0;
    int pending_ = 0; // entries added but not yet handed to the view
    bool flush_queued_ = false;
    QElapsedTimer handed_; // since entries last reached the view
    bool selection_queued_ = false;
    void queue_flush();
    void flush_pending() const;
    void push_selection();
};

// What the drive and folder lists know of drives: the platform's drives unless a test put in
// its own (there is no other way to have a drive that cannot be read).
struct DriveServices {
    std::function<QStringList()> list;
    std::function<QString(const QString& path)> drive_of;
    std::function<bool(const QString& drive, QString* why)> ready;
};
DriveServices& drive_services();

// Drive choice: the drives of drive_services().list(), by their path.
class DriveListBox : public Control {
  public:
    DriveListBox(Container& parent, QString name);
    const QString& drive() const { return drive_; }
    // A drive that is not in the list fails (DeviceUnavailable); a change raises onChange.
    void setDrive(const QString& drive);
    void refresh();
    std::function<void()> onChange;

  private:
    QComboBox* combo() const;
    void show_drive();
    QStringList drives_;
    QString drive_;
    int pushing_ = 0;
};

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

// Joins a folder and a name with exactly one separator.
QString join_path(const QString& folder, const QString& name);
// The folder with one trailing separator.
QString with_separator(const QString& folder);

} // namespace tk
