#include "app/menu_fm.h"

#include "app/forms.h"
#include "app/main_fm.h"

MenuForm::MenuForm() {
    m1.onClick = [this] { m1_Click(); };
    m2.onClick = [this] { m2_Click(); };
    m3.onClick = [this] { m3_Click(); };
    moto.onClick = [this] { moto_Click(); };
    vrj.onClick = [this] { vrj_Click(); };
    crip.onClick = [this] { crip_Click(); };
    kabegami.onClick = [this] { kabegami_Click(); };
    defolt.onClick = [this] { defolt_Click(); };
}

// The items that share their work with the main window's buttons.
void MenuForm::crip_Click() {
    main_fm->Command8_Click();
}
void MenuForm::kabegami_Click() {
    main_fm->Command9_Click();
}
// The version window comes with its own feature.
void MenuForm::vrj_Click() {}
