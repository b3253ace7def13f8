#include "toolkit/lists.h"

#include "platform/drives.h"
#include "platform/file_names.h"
#include "platform/folders.h"
#include "toolkit/error.h"
#include "toolkit/events.h"
#include "toolkit/units.h"

#include <QApplication>
#include <QCollator>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QStyle>
#include <QTimer>
#include <algorithm>
#include <map>

namespace tk {

DriveServices& drive_services() {
    static DriveServices services{platform::list_drives, platform::drive_of, platform::drive_ready};
    return services;
}

QString with_separator(const QString& folder) {
    const QChar sep = QDir::separator();
    return folder.endsWith(sep) ? folder : folder + sep;
}

QString join_path(const QString& folder, const QString& name) {
    return with_separator(folder) + name;
}

namespace {

// The order a person expects from a file list: by name, without regard to case.
bool name_before(const QString& a, const QString& b) {
    const int c = QString::compare(a, b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

template <class Names> void sort_names(Names& names) {
    std::sort(names.begin(), names.end(), name_before);
}

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

// The drive and folder icons: small icons at the screen's density, as the text is.
const QSize kListIconSize(16, 16);

// A standard icon with a picture of the size the lists show: the desktop's icon theme has
// every size; without one, the style offers 16 pixels only, and the toolkit's own pictures of
// 16, 32 and 128 pixels stand in, so that a dense screen gets a sharp icon, not a small one.
QIcon list_icon(QStyle::StandardPixmap which) {
    static std::map<QStyle::StandardPixmap, QIcon> icons;
    if (const auto it = icons.find(which); it != icons.end()) return it->second;
    const QSize size = size_at_density(kListIconSize);
    QIcon icon = QApplication::style()->standardIcon(which);
    if (icon.actualSize(size).width() < size.width()) {
        const char* name = which == QStyle::SP_DriveHDIcon   ? "harddrive"
                           : which == QStyle::SP_DirOpenIcon ? "diropen"
                                                             : "dirclosed";
        QIcon own;
        for (const int n : {16, 32, 128})
            own.addFile(QStringLiteral(":/qt-project.org/styles/commonstyle/images/%1-%2.png")
                            .arg(QLatin1String(name))
                            .arg(n),
                        QSize(n, n));
        if (own.actualSize(size).width() >= size.width()) icon = own;
    }
    return icons[which] = icon;
}

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// A list that shows only whole rows: the part of its height that would show a row cut in
// half is left empty, below the last row. It can also keep its rows clear of a strip at its
// right edge, where another control sits over the list.
class WholeRowList : public QListWidget {
  public:
    WholeRowList() {
        // The space kept free shows the list's own background, not the window's.
        setBackgroundRole(QPalette::Base);
        setAutoFillBackground(true);
    }
    // Pixels at the right edge of the list, frame included, that the rows stay clear of.
    void keep_clear_right(int pixels) {
        clear_right_ = pixels;
        fit();
    }

  protected:
    // Runs whenever the rows, the room for them or the scroll bars may have changed.
    void updateGeometries() override {
        QListWidget::updateGeometries();
        if (fit_queued_) return;
        fit_queued_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                fit_queued_ = false;
                fit();
            },
            Qt::QueuedConnection);
    }

  private:
    void fit() {
        const QMargins old = viewportMargins();
        // The room the rows would have without these margins.
        const QRect room = viewport()->geometry().adjusted(0, 0, old.right(), old.bottom());
        const int right = std::max(0, room.right() + 1 - (width() - clear_right_));
        const int row = count() > 0 ? sizeHintForRow(0) : 0;
        const int bottom = row > 0 ? room.height() % row : 0;
        if (QMargins(0, 0, right, bottom) != old) setViewportMargins(0, 0, right, bottom);
    }
    int clear_right_ = 0;
    bool fit_queued_ = false;
};

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

// ---- NamePattern and folder listings

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
    sort_names(out.files);
    return read;
}

// ---- ListBox

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

// ---- DriveListBox

namespace {
// A drive list that reads the drives afresh whenever it opens: volumes come and go.
class DriveCombo : public QComboBox {
  public:
    explicit DriveCombo(DriveListBox& owner) : owner_(owner) {}
    void showPopup() override {
        owner_.refresh();
        QComboBox::showPopup();
    }

  private:
    DriveListBox& owner_;
};
} // namespace

DriveListBox::DriveListBox(Container& parent, QString name) : Control(parent, std::move(name)) {
    auto* c = new DriveCombo(*this);
    c->setIconSize(size_at_density(kListIconSize));
    attach(c);
    refresh();
    drive_ = drive_services().drive_of(platform::current_folder());
    show_drive();
    QObject::connect(c, &QComboBox::activated, c, [this](int index) {
        if (pushing_ || index < 0 || index >= drives_.size()) return;
        dispatch([&] { setDrive(drives_.at(index)); });
    });
}

QComboBox* DriveListBox::combo() const {
    return static_cast<QComboBox*>(widget());
}

void DriveListBox::refresh() {
    drives_ = drive_services().list();
    ++pushing_;
    combo()->clear();
    for (const QString& d : drives_)
        combo()->addItem(list_icon(QStyle::SP_DriveHDIcon), native(d));
    --pushing_;
    show_drive();
}

void DriveListBox::show_drive() {
    ++pushing_;
    combo()->setCurrentIndex(static_cast<int>(drives_.indexOf(drive_)));
    --pushing_;
}

void DriveListBox::setDrive(const QString& drive) {
    if (!drives_.contains(drive)) {
        refresh();
        if (!drives_.contains(drive)) {
            show_drive();
            throw Error(Error::DeviceUnavailable);
        }
    }
    if (drive == drive_) {
        show_drive();
        return;
    }
    drive_ = drive;
    show_drive();
    if (onChange) onChange();
}

// ---- DirListBox

DirListBox::DirListBox(Container& parent, QString name, bool with_view)
    : Control(parent, std::move(name)) {
    path_ = platform::current_folder();
    read_folder();
    if (!with_view) return;
    auto* v = new WholeRowList;
    v->setUniformItemSizes(true);
    v->setIconSize(size_at_density(kListIconSize));
    attach(v);
    show_folder();
    // A double click (or Enter) opens the folder under the pointer.
    auto open = [this](QListWidgetItem* item) {
        const QString target = item->data(Qt::UserRole).toString();
        dispatch([&] { setPath(target); });
    };
    QObject::connect(v, &QListWidget::itemDoubleClicked, v, open);
    QObject::connect(v, &QListWidget::itemActivated, v, [v, open](QListWidgetItem* item) {
        if (!(QApplication::mouseButtons() & Qt::LeftButton) && v->hasFocus()) open(item);
    });
}

QListWidget* DirListBox::view() const {
    return static_cast<QListWidget*>(widget());
}

QString DirListBox::list(int i) const {
    return (i >= 0 && i < listCount()) ? subfolders_.at(i) : QString();
}

void DirListBox::setPath(const QString& requested) {
    const QString drive = drive_services().drive_of(requested);
    QString why;
    if (QDir::cleanPath(requested) == QDir::cleanPath(drive) &&
        !drive_services().ready(drive, &why))
        throw Error(Error::DeviceUnavailable, why);
    if (!platform::is_folder(requested)) throw Error(Error::PathNotFound);
    const QString clean = native(QDir::cleanPath(QFileInfo(requested).absoluteFilePath()));
    if (clean == path_) return;
    path_ = clean;
    read_folder();
    show_folder();
    if (onChange) onChange();
}

void DirListBox::refresh() {
    read_folder();
    show_folder();
}

void DirListBox::read_folder() {
    // Read by the platform layer, which keeps names that are not UTF-8.
    platform::FolderEntries entries;
    platform::read_folder(path_, entries);
    QStringList names;
    for (const auto& f : entries.folders)
        names.push_back(f.name);
    sort_names(names);
    subfolders_.clear();
    for (const QString& n : names)
        subfolders_.push_back(join_path(path_, n));
}

void DirListBox::show_folder() {
    if (!widget()) return;
    auto* v = view();
    ++pushing_;
    v->clear();
    // The chain of folders from the drive down to the open one, then its subfolders.
    QStringList chain;
    for (QString p = QDir::fromNativeSeparators(path_);;) {
        chain.prepend(native(p));
        // Cut by text, not asked of the file system: a parent need not be readable.
        const qsizetype cut = p.size() > 1 ? p.lastIndexOf(u'/', p.size() - 2) : -1;
        if (cut < 0) break;
        p = p.first(cut == p.indexOf(u'/') ? cut + 1 : cut); // a root keeps its separator
    }
    int depth = 0;
    for (const QString& p : chain) {
        const QString label = platform::readable_name(depth == 0 ? p : QFileInfo(p).fileName());
        auto* item = new QListWidgetItem(list_icon(QStyle::SP_DirOpenIcon),
                                         QString(depth * 2, QLatin1Char(' ')) + label);
        item->setData(Qt::UserRole, p);
        v->addItem(item);
        ++depth;
    }
    v->setCurrentRow(v->count() - 1);
    for (const QString& p : subfolders_) {
        auto* item = new QListWidgetItem(list_icon(QStyle::SP_DirClosedIcon),
                                         QString(depth * 2, QLatin1Char(' ')) +
                                             platform::readable_name(QFileInfo(p).fileName()));
        item->setData(Qt::UserRole, p);
        v->addItem(item);
    }
    --pushing_;
}

// ---- FileListBox

FileListBox::FileListBox(Container& parent, QString name) : Control(parent, std::move(name)) {
    path_ = native(platform::current_folder());
}

QString FileListBox::list(int i) const {
    return (i >= 0 && i < listCount()) ? names_[i] : QString();
}

void FileListBox::setPath(const QString& path) {
    if (!platform::is_folder(path)) throw Error(Error::PathNotFound);
    path_ = native(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
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
