// Marking entries of the play list, and the hints of the list and the status line.
#include "files/files.h"

#include "app/main_fm.h"
#include "app/module2.h"
#include "ui/texts.h"

using namespace Module2;

namespace {

void set_hint(tk::Control& c, const QString& hint) {
    if (c.toolTipText() != hint) c.setToolTipText(hint);
}
} // namespace

void MainForm::Command6_Click() {
    if (List1.listCount() == 0) {
        Label5.setCaption(texts::kNothingToPlay);
        return;
    }
    for (int i = 0; i < List1.listCount(); ++i)
        List1.setSelected(i, true);
    Label5.setCaption(texts::marked_all(List1.listCount()));
    slideshow.play_ok = 1;
    forget_stale_reads();
}

void MainForm::List1_Click() {
    forget_stale_reads();
    Label2.setCaption(QString::number(List1.listIndex() + 1));
    Label5.setCaption(List1.list(List1.listIndex()));
}

void MainForm::List1_DblClick() {
    Command2_Click();
}

void MainForm::List1_KeyPress(int& key_ascii) {
    // The window's shortcut keys are shortcuts only: handed on to the list, its type-ahead
    // would move the focus and replace the user's marks with a single one.
    switch (key_ascii) {
    case 'b':
    case 'n':
    case 'p':
    case 's':
    case 'c':
    case 'w':
        key_ascii = 0;
        break;
    default:
        break;
    }
}

void MainForm::List1_MouseMove() {
    if (options.opc4_flag == 0) return;
    set_hint(List1, List1.listCount() != 0 ? texts::kListHint : texts::kListEmptyHint);
}

void MainForm::Label5_MouseMove() {
    if (options.opc4_flag == 0) return;
    const QString caption = Label5.caption();
    QString hint;
    if (caption == texts::kNothingToPlay)
        hint = texts::kNothingToPlayHint;
    else if (caption == texts::kNothingMarked)
        hint = texts::kNothingMarkedHint;
    set_hint(Label5, hint);
}
