// The search window: starting and stopping the folder search, its animation, and the panel
// that chooses the file types and balloon help.
#include "files/files.h"

#include "app/forms.h"
#include "app/kensaku_set.h"
#include "app/main_fm.h"
#include "app/module2.h"
#include "toolkit/error.h"
#include "toolkit/events.h"
#include "ui/texts.h"

using namespace Module2;

namespace {
constexpr double kSearchPanelHeight = 975;
constexpr double kSettingsPanelHeight = 1815;
} // namespace

void MainForm::Command7_Click() {
    KensakuSet& k = *kensaku_set;
    k.move(left() + 1200, top() + 845);
    k.Show();
}

void KensakuSet::Form_Load() {
    set_tooltips();
}

void KensakuSet::Form_QueryUnload(int& cancel, int unload_mode) {
    // The close box only puts the window out of sight: a running search goes on, and the
    // window keeps its panel and texts. It unloads with the main window.
    if (unload_mode == 0) {
        cancel = 1;
        Hide();
    }
}

void KensakuSet::show_panel(bool search, std::int32_t frame) {
    Frame3.setVisible(search);
    Frame1.setVisible(!search);
    setHeight(frame + (search ? kSearchPanelHeight : kSettingsPanelHeight));
}

void KensakuSet::Command7_Click() {
    if (search.kensaku_flag == kSearchRunning) {
        // The stop request: the running search ends at its next folder.
        search.kensaku_flag = 0;
        return;
    }
    MainForm& m = *main_fm;
    tk::attempt([&] { m.Command4_Click(); });
    tk::attempt([&] { m.List1.clear(); });
    // The old numbers name other entries of the new list.
    m.forget_current_entry();
    tk::attempt([&] {
        m.Dir1.refresh();
        m.File1.refresh();
    });
    tk::attempt([&] {
        m.Dir2.setPath(m.Dir1.path());
        m.Dir2.refresh();
    });
    Timer1.setEnabled(true);
    img1.setVisible(true);
    pic.setVisible(true);
    search.hit_count = 0;
    Command7.setCaption(texts::kStopButton);
    Label1.setCaption(texts::searching(0));
    tk::attempt([&] { m.DirDiver(m.Dir2.path(), QString()); });
    // From here on only this window's own controls: the main window may have closed
    // during the search, and touching it would load it again.
    search.kensaku_flag = 0;
    Command7.setCaption(texts::kSearchButton);
    Timer1.setEnabled(false);
    pic.setVisible(false);
    Label1.setCaption(texts::search_result(search.hit_count));
}

void KensakuSet::Command7_MouseMove() {
    if (options.opc4_flag == 0) return;
    const QString& hint =
        search.kensaku_flag == kSearchRunning ? texts::kSearchStopHint : texts::kSearchStartHint;
    if (Command7.toolTipText() != hint) Command7.setToolTipText(hint);
}

void KensakuSet::Command2_Click() {
    if (search.kensaku_flag == kSearchRunning) search.kensaku_flag = 0;
    Hide();
}

void KensakuSet::Timer1_Timer() {
    anime_x = anime_x >= 264 ? 0 : anime_x + 8;
    pic.PaintPicture(pic2.picture(), 0, 0, 32, 20, anime_x, 0, 32, 20);
}

void KensakuSet::Command3_Click() {
    const std::int32_t frame = frame_height(*this, Picture1);
    for (tk::CheckBox* c : {&Check1, &Check2, &Check3, &Check4})
        c->setValue(0);
    if (options.opc1_flag == 1) Check1.setValue(1);
    if (options.opc2_flag == 1) Check2.setValue(1);
    if (options.opc3_flag == 1) Check3.setValue(1);
    if (options.opc4_flag == 1) Check4.setValue(1);
    show_panel(false, frame);
}

void KensakuSet::Command4_Click() {
    Check1.setValue(1);
    Check2.setValue(1);
    Check3.setValue(0);
    Check4.setValue(1);
}

void KensakuSet::Command5_Click() {
    show_panel(true, frame_height(*this, Picture1));
}

void KensakuSet::Command1_Click() {
    const std::int32_t frame = frame_height(*this, Picture1);
    if (opc_set() == 1) return;
    show_panel(true, frame);
}

std::uint8_t KensakuSet::opc_set() {
    if (Check1.value() == 0 && Check2.value() == 0 && Check3.value() == 0) {
        tk::Beep(); // no file type: nothing would ever be listed
        return 1;
    }
    options.opc1_flag = Check1.value() == 1;
    options.opc2_flag = Check2.value() == 1;
    options.opc3_flag = Check3.value() == 1;
    options.opc4_flag = Check4.value() == 1;
    set_tooltips();
    set_pattern();
    search.kensaku_flag = 0;
    main_fm->Dir1_Change();
    return 0;
}
