// Opening a picture or folder named on the command line or handed over by another instance.
#include "files/files.h"

#include "app/main_fm.h"
#include "app/module2.h"
#include "platform/file_names.h"
#include "toolkit/drive_list_box.h"
#include "toolkit/error.h"
#include "toolkit/scope_guard.h"
#include "ui/texts.h"

#include <QDir>

using namespace Module2;

void MainForm::open_folder(const QString& folder) {
    const QString before = Dir1.path();
    tk::attempt([&] { Drive1.setDrive(tk::drive_services().drive_of(folder)); });
    tk::attempt([&] { Dir1.setPath(folder); });
    // Open already: listed afresh, as the user asks for it.
    if (Dir1.path() == before) Dir1_Change();
}

void MainForm::open_path(const QString& path) {
    if (platform::is_folder(path)) {
        open_folder(path);
        return;
    }
    // Anything else opens only as a picture the list would show; otherwise nothing changes
    // but the status line, which says why.
    const qsizetype cut = path.lastIndexOf(QDir::separator());
    const QString name = path.mid(cut + 1);
    if (cut < 0 || platform::file_stamp(path).size < 0) {
        Label5.setCaption(texts::path_not_found(platform::readable_name(path)));
        return;
    }
    if (!File1.matcher().matches(name) || excluded_folder(path.left(cut + 1))) {
        Label5.setCaption(texts::not_listed_type(platform::readable_name(path)));
        return;
    }
    open_folder(path.left(cut + 1));
    const QString entry = listing.old_path + name;
    for (int i = 0; i < List1.listCount(); ++i) {
        if (List1.list(i) != entry) continue;
        // Marked and current as a click leaves it, and on show.
        List1.setSelected(i, true);
        List1.setListIndex(i);
        List1_Click();
        play.play_no = i;
        slideshow.play_ok = 1;
        if (picture.busy_flag == 1) return;
        const auto busy = tk::hold<std::uint8_t>(picture.busy_flag, 1, 0);
        load_picture();
        return;
    }
    // A hidden file, say: the folder opened, but it is not in the list.
    Label5.setCaption(texts::not_listed_type(platform::readable_name(path)));
}
