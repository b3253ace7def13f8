#include "toolkit/list_box.h"

#include "platform/file_names.h"
#include "toolkit/error.h"
#include "toolkit/events.h"
#include "toolkit/list_widgets.h"
#include "toolkit/units.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>

namespace tk {

namespace {

// A list widget that offers typed characters to its owner before acting on them, and runs the
// list's click once per user action that changes the marks or the current entry.
class KeyListWidget : public WholeRowList {
  public:
    KeyListWidget(std::function<void(int&)>* hook, std::function<void()>* click)
        : hook_(hook), click_(click) {}

    // A key or a mouse button moves the marks and the current entry one after the other; the
    // click waits until the event has been handled, so that it sees the entry moved to and
    // runs once. Outside the user's input (the drag's auto-scroll) a change of the marks
    // clicks at once; the current entry set on focus alone is no click.
    void changed(bool marks) {
        if (in_input_)
            click_due_ = true;
        else if (marks && *click_)
            dispatch(*click_);
    }

  protected:
    void keyPressEvent(QKeyEvent* e) override {
        const QString text = e->text();
        if (hook_ && *hook_ && text.size() == 1) {
            int key = text.at(0).unicode();
            dispatch([&] { (*hook_)(key); });
            if (key == 0) return;
        }
        input([&] { QListWidget::keyPressEvent(e); });
    }
    void mousePressEvent(QMouseEvent* e) override {
        input([&] { QListWidget::mousePressEvent(e); });
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        input([&] { QListWidget::mouseMoveEvent(e); });
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        input([&] { QListWidget::mouseReleaseEvent(e); });
    }
    // A quick click on another entry than the first is a press there; on the same entry it
    // is the list's double click.
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        input([&] { QListWidget::mouseDoubleClickEvent(e); });
    }

  private:
    template <class F> void input(F&& handle) {
        const bool outermost = !in_input_;
        in_input_ = true;
        handle();
        if (!outermost) return;
        in_input_ = false;
        if (click_due_) {
            click_due_ = false;
            if (*click_) dispatch(*click_);
        }
    }

    std::function<void(int&)>* hook_;
    std::function<void()>* click_;
    bool in_input_ = false;
    bool click_due_ = false;
};

} // namespace

ListBox::ListBox(Container& parent, QString name, bool extended_selection)
    : Control(parent, std::move(name)) {
    auto* v = new KeyListWidget(&onKeyPress, &onClick);
    v->setSelectionMode(extended_selection ? QAbstractItemView::ExtendedSelection
                                           : QAbstractItemView::SingleSelection);
    v->setUniformItemSizes(true);
    attach(v);
    QObject::connect(v->selectionModel(), &QItemSelectionModel::selectionChanged, v, [this] {
        if (pushing_) return;
        pull_selection();
    });
    // A click on an entry, or a key that moves the marks or only the current entry, is the
    // list's click.
    QObject::connect(v->selectionModel(), &QItemSelectionModel::currentRowChanged, v,
                     [this, v](const QModelIndex& current) {
                         if (pushing_) return;
                         list_index_ = current.isValid() ? current.row() : -1;
                         v->changed(false);
                     });
    QObject::connect(v, &QListWidget::itemSelectionChanged, v, [this, v] {
        if (pushing_) return;
        v->changed(true);
    });
    QObject::connect(v, &QListWidget::itemDoubleClicked, v, [this] {
        if (onDblClick) dispatch(onDblClick);
    });
}

void ListBox::setRightMargin(double twips) {
    static_cast<KeyListWidget*>(widget())->keep_clear_right(to_px_x(twips));
}

QListWidget* ListBox::view() const {
    flush_pending();
    return static_cast<QListWidget*>(widget());
}

void ListBox::queue_flush() {
    if (flush_queued_) return;
    flush_queued_ = true;
    // New entries show when events are next served, but while entries keep coming (a search
    // serves events after every folder) the view takes them at most every 250 ms: each hand-over
    // relays out and repaints the list, which costs far more than finding the entries.
    constexpr qint64 kHandOverMs = 250;
    const qint64 since = handed_.isValid() ? handed_.elapsed() : kHandOverMs;
    QTimer::singleShot(int(std::max<qint64>(0, kHandOverMs - since)), widget(), [this] {
        flush_queued_ = false;
        flush_pending();
    });
}

void ListBox::flush_pending() const {
    if (pending_ == 0) return;
    auto* self = const_cast<ListBox*>(this);
    self->handed_.start();
    auto* v = static_cast<QListWidget*>(widget());
    ++self->pushing_;
    QStringList batch;
    batch.reserve(pending_);
    for (size_t i = entries_.size() - pending_; i < entries_.size(); ++i)
        batch.push_back(platform::readable_name(entries_[i]));
    v->addItems(batch);
    self->pending_ = 0;
    --self->pushing_;
}

void ListBox::pull_selection() {
    auto* v = view();
    std::fill(selected_.begin(), selected_.end(), 0);
    for (const QItemSelectionRange& r : v->selectionModel()->selection())
        for (int i = r.top(); i <= r.bottom(); ++i)
            if (i >= 0 && i < listCount()) selected_[i] = 1;
}

QString ListBox::list(int i) const {
    return (i >= 0 && i < listCount()) ? entries_[i] : QString();
}

bool ListBox::selected(int i) const {
    return i >= 0 && i < listCount() && selected_[i];
}

void ListBox::setSelected(int i, bool on) {
    if (i < 0 || i >= listCount()) throw Error(Error::InvalidProperty);
    if (bool(selected_[i]) == on) return;
    selected_[i] = on ? 1 : 0;
    // Marks reach the view together when events are next served: marking thousands of
    // entries one by one stays quick.
    if (!selection_queued_) {
        selection_queued_ = true;
        QMetaObject::invokeMethod(
            widget(), [this] { push_selection(); }, Qt::QueuedConnection);
    }
}

void ListBox::push_selection() {
    selection_queued_ = false;
    auto* v = view();
    QItemSelection sel;
    for (int i = 0; i < listCount();) {
        if (!selected_[i]) {
            ++i;
            continue;
        }
        int j = i;
        while (j + 1 < listCount() && selected_[j + 1])
            ++j;
        sel.select(v->model()->index(i, 0), v->model()->index(j, 0));
        i = j + 1;
    }
    ++pushing_;
    v->selectionModel()->select(sel, QItemSelectionModel::ClearAndSelect);
    --pushing_;
}

void ListBox::setListIndex(int i) {
    if (i < -1 || i >= listCount()) throw Error(Error::InvalidProperty);
    list_index_ = i;
    ++pushing_;
    view()->setCurrentRow(i, QItemSelectionModel::NoUpdate);
    --pushing_;
}

void ListBox::addItem(const QString& text) {
    if (listCount() >= kMaxEntries) throw Error(Error::OutOfMemory);
    entries_.push_back(text);
    selected_.push_back(0);
    ++pending_;
    queue_flush();
}

void ListBox::clear() {
    selection_queued_ = false;
    entries_.clear();
    selected_.clear();
    pending_ = 0;
    list_index_ = -1;
    ++pushing_;
    static_cast<QListWidget*>(widget())->clear();
    --pushing_;
}

} // namespace tk
