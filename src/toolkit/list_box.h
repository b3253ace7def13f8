#pragma once
#include "toolkit/control.h"

#include <QElapsedTimer>
#include <QString>
#include <functional>
#include <vector>

class QListWidget;

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

} // namespace tk
