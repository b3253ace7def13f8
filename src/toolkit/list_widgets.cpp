#include "toolkit/list_widgets.h"

#include "toolkit/units.h"

#include <QApplication>
#include <algorithm>
#include <map>

namespace tk {

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

void WholeRowList::updateGeometries() {
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

void WholeRowList::fit() {
    const QMargins old = viewportMargins();
    // The room the rows would have without these margins.
    const QRect room = viewport()->geometry().adjusted(0, 0, old.right(), old.bottom());
    const int right = std::max(0, room.right() + 1 - (width() - clear_right_));
    const int row = count() > 0 ? sizeHintForRow(0) : 0;
    const int bottom = row > 0 ? room.height() % row : 0;
    if (QMargins(0, 0, right, bottom) != old) setViewportMargins(0, 0, right, bottom);
}

} // namespace tk
