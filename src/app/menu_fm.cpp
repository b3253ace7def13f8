#include "app/menu_fm.h"

// Each item of the popup menu runs its handler.
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
