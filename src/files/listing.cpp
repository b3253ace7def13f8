// File types and the folder listing that fills the play list.
#include "files/files.h"

#include "app/forms.h"
#include "app/kensaku_set.h"
#include "app/main_fm.h"
#include "app/module2.h"
#include "toolkit/drive_list_box.h"
#include "toolkit/error.h"
#include "toolkit/events.h"
#include "toolkit/folder_listing.h"
#include "toolkit/scope_guard.h"
#include "ui/texts.h"

using namespace Module2;

void MainForm::Drive1_Change() {
    if (listing.drive_going_back) return;
    const QString drive = Drive1.drive();
    try {
        Dir1.setPath(drive);
    } catch (const tk::Error& e) {
        tk::MsgBoxInfo(texts::drive_unreadable(drive, e.description()), texts::kMessageTitle);
        // Back to the last drive that could be read; before any, to the one the folder
        // list still shows. When the folder shown lies on it, only the drive list goes back:
        // opening that drive's root would lose the user's place and the list's marks.
        const QString folder_drive = tk::drive_services().drive_of(Dir1.path());
        const QString back = listing.old_drive.isEmpty() ? folder_drive : listing.old_drive;
        const auto going_back =
            tk::hold<std::uint8_t>(listing.drive_going_back, back == folder_drive, 0);
        tk::attempt([&] { Drive1.setDrive(back); });
        return;
    }
    listing.old_drive = drive;
}

void MainForm::Dir1_Change() {
    listing.listed = 1;
    play.play_flag = 0;
    Timer1.setEnabled(false);
    search.kensaku_flag = 0;
    forget_current_entry();
    kensaku_set->Label1.setCaption(QString());
    if (excluded_folder(Dir1.path())) {
        List1.clear();
        return;
    }
    // A folder that vanished or cannot be read leaves the list empty or partial.
    if (!tk::attempt([&] { File1.setPath(Dir1.path()); })) {
        List1.clear();
        return;
    }
    listing.old_path = tk::with_separator(File1.path());
    List1.clear();
    for (int i = 0; i < File1.listCount(); ++i) {
        if (!tk::attempt([&] { List1.addItem(listing.old_path + File1.list(i)); }))
            break; // the list is full
    }
}

void MainForm::forget_current_entry() {
    play.play_no = -1;
    picture.prefetch.drop();
    Label2.setCaption(QString());
    Label5.setCaption(QString());
    Label5.setToolTipText(QString());
}

void MainForm::Dir2_Change() {
    tk::attempt([&] { File1.setPath(Dir2.path()); });
}
