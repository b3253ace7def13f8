#include "app/vrjo.h"

#include "app/forms.h"
#include "app/main_fm.h"
#include "app/menu_fm.h"
#include "toolkit/units.h"
#include "ui/texts.h"

Vrjo::Vrjo() {
    Image3.onClick = [this] { Image3_Click(); };
    Label1.onClick = [this] { Label1_Click(); };
    Label2.onClick = [this] { Label2_Click(); };
    Label3.onClick = [this] { Label3_Click(); };
    Label4.onClick = [this] { Label4_Click(); };
    Label5.onClick = [this] { Label5_Click(); };
}

void Vrjo::Form_Load() {
    Label5.setCaption(
        texts::version_line(PIKUTA_VERSION_MAJOR, PIKUTA_VERSION_MINOR, PIKUTA_VERSION_REVISION));
}

// Any click on the window or a typed character puts it away; it stays loaded.
void Vrjo::Form_Click() {
    Hide();
}
void Vrjo::Form_KeyPress(int& /*key_ascii*/) {
    Hide();
}
void Vrjo::Image3_Click() {
    Hide();
}
void Vrjo::Label1_Click() {
    Hide();
}
void Vrjo::Label2_Click() {
    Hide();
}
void Vrjo::Label3_Click() {
    Hide();
}
void Vrjo::Label4_Click() {
    Hide();
}
void Vrjo::Label5_Click() {
    Hide();
}

void MenuForm::vrj_Click() {
    Vrjo& v = *vrjo;
    // Out of sight, it comes back in the middle of the screen that holds the main window.
    if (!v.visible()) {
        const MainForm& m = *main_fm;
        v.centre_in(tk::work_area(QRectF(m.left(), m.top(), m.width(), m.height())));
    }
    v.Show();
}
