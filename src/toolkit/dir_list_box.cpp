#include "toolkit/dir_list_box.h"

#include "platform/file_names.h"
#include "platform/folders.h"
#include "toolkit/drive_list_box.h"
#include "toolkit/error.h"
#include "toolkit/events.h"
#include "toolkit/folder_listing.h"
#include "toolkit/list_widgets.h"
#include "toolkit/units.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <algorithm>

namespace tk {

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
    const QString clean = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(requested).absoluteFilePath()));
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
    std::sort(names.begin(), names.end(), name_before);
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
        chain.prepend(QDir::toNativeSeparators(p));
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

} // namespace tk
