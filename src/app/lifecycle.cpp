// Start-up, activation, keys and closing of the main window.
#include "app/forms.h"
#include "app/kensaku_set.h"
#include "app/main_fm.h"
#include "app/menu_fm.h"
#include "app/module2.h"
#include "app/vrjo.h"
#include "toolkit/folder_listing.h"

#include <QCoreApplication>
#include <QDir>

using namespace Module2;

void MainForm::Form_Load() {
    app_path = tk::with_separator(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
    play.play_no = -1;
    load_settings();
    set_pattern();
    set_tooltips();
    // The folder lists open on a folder even when no stored folder made them change (a first
    // run, or the stored folder is the one shown at start): list it as a folder change would.
    if (listing.listed == 0) Dir1_Change();
}

void MainForm::Form_Activate() {
    // Coming back to the main window puts the search and version windows out of sight.
    kensaku_set->Hide();
    vrjo->Hide();
}

void MainForm::Form_KeyPress(int& key_ascii) {
    switch (key_ascii) {
    case 'b':
        Command1_Click();
        break;
    case 'n':
        Command2_Click();
        break;
    case 'p':
        Command3_Click();
        break;
    case 's':
        Command4_Click();
        break;
    case 'c':
        if (picture.copy_ok == 1) Command8_Click();
        break;
    case 'w':
        if (picture.copy_ok == 1) Command9_Click();
        break;
    default:
        break;
    }
}

void MainForm::Form_QueryUnload(int& /*cancel*/, int /*unload_mode*/) {
    search.kensaku_flag = 0;
    Command4_Click();
    if (windowState() != tk::Normal) setWindowState(tk::Normal);
    menu_fm->hyouji_set(0);
}

void MainForm::Form_Unload(int& /*cancel*/) {
    kensaku_set.unload();
    menu_fm.unload();
    vrjo.unload();
    save_settings();
}
